#include "platform/gpux/ImageDecoder.h"

#include <cstring>
#include <limits>

#include <stb_image.h>

namespace Platform::Gpux {
namespace {

constexpr uint32_t kMaxSide = 8192;

uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t fourCC(const char* s) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

// The four colours of a block from its two 5:6:5 end points.
void blockColors(const uint8_t* block, bool allowTransparent, uint32_t colors[4]) {
    const uint16_t c0 = readU16(block);
    const uint16_t c1 = readU16(block + 2);
    auto expand = [](uint16_t c, uint32_t out[3]) {
        const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
        out[0] = r << 3 | r >> 2;
        out[1] = g << 2 | g >> 4;
        out[2] = b << 3 | b >> 2;
    };
    uint32_t e0[3], e1[3];
    expand(c0, e0);
    expand(c1, e1);
    colors[0] = argb(255, e0[0], e0[1], e0[2]);
    colors[1] = argb(255, e1[0], e1[1], e1[2]);
    if (c0 > c1 || !allowTransparent) {
        colors[2] = argb(255, (2 * e0[0] + e1[0]) / 3, (2 * e0[1] + e1[1]) / 3, (2 * e0[2] + e1[2]) / 3);
        colors[3] = argb(255, (e0[0] + 2 * e1[0]) / 3, (e0[1] + 2 * e1[1]) / 3, (e0[2] + 2 * e1[2]) / 3);
    } else {
        colors[2] = argb(255, (e0[0] + e1[0]) / 2, (e0[1] + e1[1]) / 2, (e0[2] + e1[2]) / 2);
        colors[3] = 0;  // transparent black
    }
}

void decodeBlocks(const uint8_t* data, uint32_t width, uint32_t height, uint32_t variant, DecodedImage& out) {
    const uint32_t blockBytes = variant == 1 ? 8 : 16;
    const uint32_t blocksX = (width + 3) / 4;
    const uint32_t blocksY = (height + 3) / 4;
    for (uint32_t by = 0; by < blocksY; ++by) {
        for (uint32_t bx = 0; bx < blocksX; ++bx) {
            const uint8_t* block = data + (size_t(by) * blocksX + bx) * blockBytes;
            const uint8_t* colorBlock = variant == 1 ? block : block + 8;
            uint32_t colors[4];
            blockColors(colorBlock, variant == 1, colors);
            const uint32_t indices = readU32(colorBlock + 4);
            uint32_t alphas[8] = {};
            uint64_t alphaBits = 0;
            if (variant == 5) {
                const uint32_t a0 = block[0], a1 = block[1];
                alphas[0] = a0;
                alphas[1] = a1;
                if (a0 > a1) {
                    for (uint32_t i = 1; i < 7; ++i) {
                        alphas[i + 1] = ((7 - i) * a0 + i * a1) / 7;
                    }
                } else {
                    for (uint32_t i = 1; i < 5; ++i) {
                        alphas[i + 1] = ((5 - i) * a0 + i * a1) / 5;
                    }
                    alphas[6] = 0;
                    alphas[7] = 255;
                }
                for (int i = 0; i < 6; ++i) {
                    alphaBits |= uint64_t(block[2 + i]) << (8 * i);
                }
            } else if (variant == 3) {
                for (int i = 0; i < 8; ++i) {
                    alphaBits |= uint64_t(block[i]) << (8 * i);
                }
            }
            for (uint32_t py = 0; py < 4; ++py) {
                for (uint32_t px = 0; px < 4; ++px) {
                    const uint32_t x = bx * 4 + px, y = by * 4 + py;
                    if (x >= width || y >= height) {
                        continue;
                    }
                    const uint32_t i = py * 4 + px;
                    uint32_t c = colors[(indices >> (2 * i)) & 3];
                    if (variant == 3) {
                        const uint32_t a = uint32_t(alphaBits >> (4 * i)) & 15;
                        c = (c & 0xFFFFFFu) | (a * 17) << 24;
                    } else if (variant == 5) {
                        c = (c & 0xFFFFFFu) | alphas[(alphaBits >> (3 * i)) & 7] << 24;
                    }
                    out.pixels[size_t(y) * width + x] = c;
                }
            }
        }
    }
}

// A channel from a bit mask, scaled to 8 bits.
uint32_t maskedChannel(uint32_t value, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    const uint32_t max = mask >> shift;
    return uint32_t((uint64_t((value & mask) >> shift) * 255 + max / 2) / max);
}

}  // namespace

bool decodeDds(const uint8_t* bytes, size_t size, DecodedImage& out, std::string& error) {
    constexpr size_t kHeader = 128;  // magic and the 124-byte header
    if (size < kHeader || std::memcmp(bytes, "DDS ", 4) != 0 || readU32(bytes + 4) != 124) {
        error = "DDS header is truncated or damaged";
        return false;
    }
    const uint32_t height = readU32(bytes + 12);
    const uint32_t width = readU32(bytes + 16);
    const uint8_t* pf = bytes + 76;  // pixel format
    const uint32_t pfFlags = readU32(pf + 4);
    const uint32_t code = readU32(pf + 8);
    const uint32_t bitCount = readU32(pf + 12);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        error = "DDS image size " + std::to_string(width) + "x" + std::to_string(height) + " is not supported";
        return false;
    }
    // Every size is checked against the data before the picture is allocated: a header alone
    // must not cost width x height pixels.
    const uint8_t* data = bytes + kHeader;
    const size_t available = size - kHeader;
    if ((pfFlags & 0x4) != 0) {  // compressed
        uint32_t variant = 0;
        if (code == fourCC("DXT1")) {
            variant = 1;
        } else if (code == fourCC("DXT3")) {
            variant = 3;
        } else if (code == fourCC("DXT5")) {
            variant = 5;
        } else {
            error = "DDS compression is not DXT1, DXT3 or DXT5";
            return false;
        }
        const size_t need = size_t((width + 3) / 4) * ((height + 3) / 4) * (variant == 1 ? 8 : 16);
        if (available < need) {
            error = "DDS pixel data is truncated";
            return false;
        }
        out.width = width;
        out.height = height;
        out.pixels.assign(size_t(width) * height, 0);
        decodeBlocks(data, width, height, variant, out);
        out.hasAlpha = true;
        return true;
    }
    if ((pfFlags & 0x40) == 0 || (bitCount != 32 && bitCount != 24)) {
        error = "DDS pixel format is not 24- or 32-bit RGB";
        return false;
    }
    const uint32_t bytesPerPixel = bitCount / 8;
    const size_t need = size_t(width) * height * bytesPerPixel;
    if (available < need) {
        error = "DDS pixel data is truncated";
        return false;
    }
    const uint32_t rMask = readU32(pf + 16), gMask = readU32(pf + 20), bMask = readU32(pf + 24);
    const uint32_t aMask = (pfFlags & 0x1) != 0 ? readU32(pf + 28) : 0;
    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * height, 0);
    out.hasAlpha = aMask != 0;
    for (size_t i = 0; i < size_t(width) * height; ++i) {
        const uint8_t* p = data + i * bytesPerPixel;
        const uint32_t v = bytesPerPixel == 4 ? readU32(p) : uint32_t(p[0] | p[1] << 8 | p[2] << 16);
        out.pixels[i] = argb(aMask != 0 ? maskedChannel(v, aMask) : 255, maskedChannel(v, rMask),
                             maskedChannel(v, gMask), maskedChannel(v, bMask));
    }
    return true;
}

bool decodeImage(const void* bytes, size_t size, DecodedImage& out, std::string& error) {
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (data == nullptr || size == 0) {
        error = "no image data";
        return false;
    }
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) {
        return decodeDds(data, size, out, error);
    }
    if (size > size_t(std::numeric_limits<int>::max())) {
        error = "image data is too large";
        return false;
    }
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, int(size), &w, &h, &channels, 4);
    if (rgba == nullptr) {
        const char* reason = stbi_failure_reason();
        error = std::string("not a readable image (") + (reason != nullptr ? reason : "unknown format") + ")";
        return false;
    }
    if (w <= 0 || h <= 0 || uint32_t(w) > kMaxSide || uint32_t(h) > kMaxSide) {
        stbi_image_free(rgba);
        error = "image size " + std::to_string(w) + "x" + std::to_string(h) + " is not supported";
        return false;
    }
    out.width = uint32_t(w);
    out.height = uint32_t(h);
    out.hasAlpha = channels == 2 || channels == 4;
    out.pixels.resize(size_t(w) * h);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const stbi_uc* p = rgba + i * 4;
        out.pixels[i] = argb(out.hasAlpha ? p[3] : 255, p[0], p[1], p[2]);
    }
    stbi_image_free(rgba);
    return true;
}

}  // namespace Platform::Gpux
