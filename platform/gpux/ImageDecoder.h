#pragma once
// Decodes image files into 32-bit ARGB pixels. The format is recognised from the content, not
// from a file name: PNG, BMP, TGA and JPEG through the stb library, DDS (uncompressed 24/32-bit
// and DXT1/3/5) by our own reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Platform::Gpux {

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;         // the file carries alpha; otherwise every pixel is opaque
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

// False with a reason in `error` for data that is not a complete image of a known format.
bool decodeImage(const void* bytes, size_t size, DecodedImage& out, std::string& error);

// The DDS part, exposed for tests.
bool decodeDds(const uint8_t* bytes, size_t size, DecodedImage& out, std::string& error);

}  // namespace Platform::Gpux
