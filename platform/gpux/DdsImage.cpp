#include "platform/gpux/DdsImage.h"

#include <cstring>

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

uint32_t* rowAt(void* rows, size_t pitch, uint32_t y) {
    return reinterpret_cast<uint32_t*>(static_cast<char*>(rows) + size_t(y) * pitch);
}

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

void decodeBlocks(const DdsImage& image, void* rows, size_t pitch) {
    const uint32_t variant = image.variant;
    const uint32_t blockBytes = variant == 1 ? 8 : 16;
    const uint32_t blocksX = (image.width + 3) / 4;
    const uint32_t blocksY = (image.height + 3) / 4;
    for (uint32_t by = 0; by < blocksY; ++by) {
        for (uint32_t bx = 0; bx < blocksX; ++bx) {
            const uint8_t* block = image.data + (size_t(by) * blocksX + bx) * blockBytes;
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
                const uint32_t y = by * 4 + py;
                if (y >= image.height) {
                    break;
                }
                uint32_t* row = rowAt(rows, pitch, y);
                for (uint32_t px = 0; px < 4; ++px) {
                    const uint32_t x = bx * 4 + px;
                    if (x >= image.width) {
                        break;
                    }
                    const uint32_t i = py * 4 + px;
                    uint32_t c = colors[(indices >> (2 * i)) & 3];
                    if (variant == 3) {
                        const uint32_t a = uint32_t(alphaBits >> (4 * i)) & 15;
                        c = (c & 0xFFFFFFu) | (a * 17) << 24;
                    } else if (variant == 5) {
                        c = (c & 0xFFFFFFu) | alphas[(alphaBits >> (3 * i)) & 7] << 24;
                    }
                    row[x] = c;
                }
            }
        }
    }
}

// A channel of an uncompressed file: where its bits are and how far they reach, found once per
// file rather than per pixel.
struct Channel {
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask != 0) {
            while (((mask >> shift) & 1) == 0) {
                ++shift;
            }
            max = mask >> shift;
        }
    }
    // The channel scaled to 8 bits.
    uint32_t read(uint32_t value) const {
        if (mask == 0) {
            return 0;
        }
        const uint32_t raw = (value & mask) >> shift;
        return max == 255 ? raw : uint32_t((uint64_t(raw) * 255 + max / 2) / max);
    }
};

void decodeUncompressed(const DdsImage& image, void* rows, size_t pitch) {
    const uint32_t* m = image.masks;
    const size_t rowBytes = size_t(image.width) * image.bytesPerPixel;
    // The layout the texture stores (B, G, R, A bytes) needs no conversion, only the opaque
    // alpha when the file has none.
    if (image.bytesPerPixel == 4 && m[0] == 0x00FF0000u && m[1] == 0x0000FF00u && m[2] == 0x000000FFu &&
        (m[3] == 0xFF000000u || m[3] == 0)) {
        const uint32_t opaque = m[3] == 0 ? 0xFF000000u : 0;
        for (uint32_t y = 0; y < image.height; ++y) {
            uint32_t* row = rowAt(rows, pitch, y);
            std::memcpy(row, image.data + y * rowBytes, rowBytes);
            if (opaque != 0) {
                for (uint32_t x = 0; x < image.width; ++x) {
                    row[x] |= opaque;
                }
            }
        }
        return;
    }
    const Channel red(m[0]), green(m[1]), blue(m[2]), alpha(m[3]);
    for (uint32_t y = 0; y < image.height; ++y) {
        uint32_t* row = rowAt(rows, pitch, y);
        const uint8_t* p = image.data + y * rowBytes;
        for (uint32_t x = 0; x < image.width; ++x, p += image.bytesPerPixel) {
            const uint32_t v = image.bytesPerPixel == 4 ? readU32(p) : uint32_t(p[0] | p[1] << 8 | p[2] << 16);
            row[x] = argb(m[3] != 0 ? alpha.read(v) : 255, red.read(v), green.read(v), blue.read(v));
        }
    }
}

}  // namespace

bool readDdsHeader(const uint8_t* bytes, size_t size, DdsImage& out, std::string& error) {
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
    // Every size is checked against the data before anything is allocated: a header alone must
    // not cost width x height pixels.
    const size_t available = size - kHeader;
    DdsImage image;
    image.width = width;
    image.height = height;
    image.data = bytes + kHeader;
    size_t need = 0;
    if ((pfFlags & 0x4) != 0) {  // compressed
        if (code == fourCC("DXT1")) {
            image.variant = 1;
        } else if (code == fourCC("DXT3")) {
            image.variant = 3;
        } else if (code == fourCC("DXT5")) {
            image.variant = 5;
        } else {
            error = "DDS compression is not DXT1, DXT3 or DXT5";
            return false;
        }
        need = size_t((width + 3) / 4) * ((height + 3) / 4) * (image.variant == 1 ? 8 : 16);
        image.hasAlpha = true;
    } else {
        if ((pfFlags & 0x40) == 0 || (bitCount != 32 && bitCount != 24)) {
            error = "DDS pixel format is not 24- or 32-bit RGB";
            return false;
        }
        image.bytesPerPixel = bitCount / 8;
        need = size_t(width) * height * image.bytesPerPixel;
        for (int i = 0; i < 3; ++i) {
            image.masks[i] = readU32(pf + 16 + 4 * i);
        }
        image.masks[3] = (pfFlags & 0x1) != 0 ? readU32(pf + 28) : 0;
        image.hasAlpha = image.masks[3] != 0;
    }
    if (available < need) {
        error = "DDS pixel data is truncated";
        return false;
    }
    out = image;
    return true;
}

void decodeDdsPixels(const DdsImage& image, void* rows, size_t pitch) {
    if (image.variant != 0) {
        decodeBlocks(image, rows, pitch);
    } else {
        decodeUncompressed(image, rows, pitch);
    }
}

}  // namespace Platform::Gpux
