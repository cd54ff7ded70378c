#pragma once
#include <cstdint>
#include <vector>

namespace Orvex::Tools::FontBaker {

struct PackedRect {
    uint32_t page = 0;
    uint32_t x = 0;
    uint32_t y = 0;
};

// Places rectangles on square pages of `pageSize` texels, shelf by shelf, tallest first
// (ties in input order, so the result depends only on the input), keeping `spacing` texels
// free between neighbours so that filtering never blends two glyphs, and half of it along
// the page edges. Empty rectangles go to
// (0, 0) of page 0. Returns one placement per input rectangle, in input order; `pageCount`
// receives the number of pages used (at least 1). Throws BakeError when a rectangle is
// larger than a page or more than `maxPages` pages would be needed.
std::vector<PackedRect> packRectangles(const std::vector<std::pair<uint32_t, uint32_t>>& sizes, uint32_t pageSize,
                                       uint32_t spacing, uint32_t maxPages, uint32_t& pageCount);

}  // namespace Orvex::Tools::FontBaker
