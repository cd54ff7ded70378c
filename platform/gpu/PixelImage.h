#pragma once
// The pixels of one surface: 32-bit words 0xAARRGGBB, rows without padding. In X8 formats the
// top byte is not part of the colour; the device stores 0xFF there and reads it as opaque.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gpu/GpuTypes.h"

namespace Platform::Gpu {

struct PixelImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t format = kFormatUnknown;
    std::vector<uint32_t> texels;

    PixelImage(uint32_t w, uint32_t h, uint32_t fmt)
        : width(w), height(h), format(fmt), texels(std::size_t(w) * h, fmt == kFormatX8R8G8B8 ? 0xFF000000u : 0u) {}

    bool hasAlpha() const { return format == kFormatA8R8G8B8; }
    uint32_t pitchBytes() const { return width * 4; }
    uint32_t* row(uint32_t y) { return texels.data() + std::size_t(y) * width; }
    const uint32_t* row(uint32_t y) const { return texels.data() + std::size_t(y) * width; }
    // The colour as the pipeline reads it: X8 formats are opaque.
    uint32_t read(uint32_t x, uint32_t y) const {
        const uint32_t v = texels[std::size_t(y) * width + x];
        return hasAlpha() ? v : (v | 0xFF000000u);
    }
};

// Formats a surface of this device can hold.
inline bool isColorFormat(uint32_t format) { return format == kFormatA8R8G8B8 || format == kFormatX8R8G8B8; }

}  // namespace Platform::Gpu
