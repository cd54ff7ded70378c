#include "tools/fontbaker/PagePacker.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "tools/fontbaker/BakeError.h"

namespace Orvex::Tools::FontBaker {

std::vector<PackedRect> packRectangles(const std::vector<std::pair<uint32_t, uint32_t>>& sizes, uint32_t pageSize,
                                       uint32_t spacing, uint32_t maxPages, uint32_t& pageCount) {
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sizes[a].second > sizes[b].second; });

    std::vector<PackedRect> placed(sizes.size());
    // Half the spacing along the page edges too: a sampler that wraps at an edge then reads
    // empty texels from the opposite edge.
    const uint32_t margin = (spacing + 1) / 2;
    const uint32_t limit = pageSize > 2 * margin ? pageSize - margin : margin;
    uint32_t page = 0;
    uint32_t penX = margin;
    uint32_t shelfY = margin;
    uint32_t shelfHeight = 0;
    for (size_t index : order) {
        const auto [width, height] = sizes[index];
        if (width == 0 || height == 0) continue;  // nothing to draw: stays at (0, 0) of page 0
        if (width > limit - margin || height > limit - margin) {
            throw BakeError("a glyph of " + std::to_string(width) + "x" + std::to_string(height) +
                            " texels does not fit on a page of " + std::to_string(pageSize) + "x" +
                            std::to_string(pageSize));
        }
        if (penX + width > limit) {  // next shelf
            shelfY += shelfHeight + spacing;
            penX = margin;
            shelfHeight = 0;
        }
        if (shelfY + height > limit) {  // next page
            ++page;
            penX = margin;
            shelfY = margin;
            shelfHeight = 0;
        }
        if (page >= maxPages) {
            throw BakeError("the glyphs need more than " + std::to_string(maxPages) + " pages of " +
                            std::to_string(pageSize) + "x" + std::to_string(pageSize));
        }
        placed[index] = PackedRect{page, penX, shelfY};
        penX += width + spacing;
        shelfHeight = std::max(shelfHeight, height);
    }
    pageCount = page + 1;
    return placed;
}

}  // namespace Orvex::Tools::FontBaker
