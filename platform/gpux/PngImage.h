#pragma once
// The common kind of PNG file (8-bit RGB or RGBA, not interlaced, no transparency key) read
// without a picture of its own: the rows are inflated into one buffer, then unfiltered and
// converted straight into the caller's memory. Any other PNG, and any damaged one, is left to
// the general decoder, which also gives the reasons for refusing a file.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Platform::Gpux {

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;           // 3 or 4
    std::unique_ptr<uint8_t[]> raw;  // the inflated rows, each a filter byte and its pixels
};

// True when the file is of the common kind and complete, with `out` ready for
// `writePngPixels`; false leaves the file to the general decoder. Sides beyond `maxSide` are
// left to it as well.
bool readCommonPng(const uint8_t* bytes, size_t size, uint32_t maxSide, PngImage& out);

// Unfilters the rows (in place, once) and writes them as 0xAARRGGBB, row y at `rows` + y *
// `pitch` bytes; RGB files are written opaque.
void writePngPixels(PngImage& image, void* rows, size_t pitch);

}  // namespace Platform::Gpux
