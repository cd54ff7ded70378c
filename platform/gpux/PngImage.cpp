#include "platform/gpux/PngImage.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include <stb_image.h>

namespace Platform::Gpux {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t readU32BigEndian(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

struct Header {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;
};

// The header of a common file, or false.
bool readHeader(const uint8_t* chunk, uint32_t length, uint32_t maxSide, Header& out) {
    if (length != 13) {
        return false;
    }
    const uint8_t* d = chunk + 8;
    const uint32_t width = readU32BigEndian(d);
    const uint32_t height = readU32BigEndian(d + 4);
    const uint8_t depth = d[8], colorType = d[9], compression = d[10], filter = d[11], interlace = d[12];
    if (width == 0 || height == 0 || width > maxSide || height > maxSide || depth != 8 ||
        (colorType != 2 && colorType != 6) || compression != 0 || filter != 0 || interlace != 0) {
        return false;
    }
    out = Header{width, height, colorType == 6 ? 4u : 3u};
    return true;
}

uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes a row's filter in place; `up` is the unfiltered row above, null for the first.
void unfilter(uint8_t filter, uint8_t* row, const uint8_t* up, size_t length, size_t bpp) {
    switch (filter) {
        case 1:
            for (size_t i = bpp; i < length; ++i) row[i] = uint8_t(row[i] + row[i - bpp]);
            break;
        case 2:
            if (up != nullptr) {
                for (size_t i = 0; i < length; ++i) row[i] = uint8_t(row[i] + up[i]);
            }
            break;
        case 3:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                const int above = up != nullptr ? up[i] : 0;
                row[i] = uint8_t(row[i] + ((left + above) >> 1));
            }
            break;
        case 4:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                const int above = up != nullptr ? up[i] : 0;
                const int corner = up != nullptr && i >= bpp ? up[i - bpp] : 0;
                row[i] = uint8_t(row[i] + paeth(left, above, corner));
            }
            break;
        default:
            break;  // none
    }
}

}  // namespace

bool readCommonPng(const uint8_t* bytes, size_t size, uint32_t maxSide, PngImage& out) {
    if (size < 8 + 25 || std::memcmp(bytes, kSignature, 8) != 0) {
        return false;
    }
    Header header;
    std::vector<uint8_t> joined;  // only when the data is split over several chunks
    const uint8_t* packed = nullptr;
    size_t packedSize = 0;
    bool ended = false;
    for (size_t at = 8; !ended;) {
        if (size - at < 12) {
            return false;
        }
        const uint32_t length = readU32BigEndian(bytes + at);
        if (length > size - at - 12) {
            return false;
        }
        const uint8_t* chunk = bytes + at;
        const bool first = at == 8;
        if (first != (std::memcmp(chunk + 4, "IHDR", 4) == 0)) {
            return false;
        }
        if (first && !readHeader(chunk, length, maxSide, header)) {
            return false;
        }
        if (std::memcmp(chunk + 4, "tRNS", 4) == 0) {
            return false;  // a transparency key: the general decoder's business
        }
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0) {
            if (packed == nullptr) {
                packed = chunk + 8;
                packedSize = length;
            } else {
                if (joined.empty()) {
                    joined.assign(packed, packed + packedSize);
                }
                joined.insert(joined.end(), chunk + 8, chunk + 8 + length);
            }
        }
        ended = std::memcmp(chunk + 4, "IEND", 4) == 0;
        at += 12 + size_t(length);
    }
    if (!joined.empty()) {
        packed = joined.data();
        packedSize = joined.size();
    }
    const size_t stride = 1 + size_t(header.width) * header.channels;
    const size_t rawSize = stride * header.height;
    if (packed == nullptr || packedSize > size_t(std::numeric_limits<int>::max()) ||
        rawSize > size_t(std::numeric_limits<int>::max())) {
        return false;
    }
    // Not zeroed: the inflate fills every byte, or the file is refused.
    std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[rawSize]);
    if (raw == nullptr ||
        stbi_zlib_decode_buffer(reinterpret_cast<char*>(raw.get()), int(rawSize), reinterpret_cast<const char*>(packed),
                                int(packedSize)) != int(rawSize)) {
        return false;
    }
    for (uint32_t y = 0; y < header.height; ++y) {
        if (raw[y * stride] > 4) {
            return false;
        }
    }
    out.width = header.width;
    out.height = header.height;
    out.channels = header.channels;
    out.raw = std::move(raw);
    return true;
}

void writePngPixels(PngImage& image, void* rows, size_t pitch) {
    const size_t bpp = image.channels;
    const size_t length = size_t(image.width) * bpp;
    const size_t stride = 1 + length;
    for (uint32_t y = 0; y < image.height; ++y) {
        uint8_t* row = image.raw.get() + y * stride + 1;
        unfilter(row[-1], row, y > 0 ? row - stride : nullptr, length, bpp);
        auto* target = reinterpret_cast<uint32_t*>(static_cast<char*>(rows) + y * pitch);
        if (bpp == 4) {
            // R, G, B, A bytes read as one little-endian word are 0xAABBGGRR: swapping red and
            // blue gives 0xAARRGGBB, a loop the compiler turns into vector shuffles.
            for (uint32_t x = 0; x < image.width; ++x) {
                uint32_t v;
                std::memcpy(&v, row + size_t(x) * 4, 4);
                target[x] = (v & 0xFF00FF00u) | (v & 0xFFu) << 16 | (v >> 16 & 0xFFu);
            }
        } else {
            for (uint32_t x = 0; x < image.width; ++x) {
                const uint8_t* p = row + size_t(x) * 3;
                target[x] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            }
        }
    }
}

}  // namespace Platform::Gpux
