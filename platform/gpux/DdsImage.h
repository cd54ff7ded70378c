#pragma once
// DDS files (uncompressed 24/32-bit RGB and DXT1/3/5) read in two steps: the header is checked
// against the data first, then the pixels are decoded straight into memory the caller provides.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform::Gpux {

struct DdsImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;
    uint32_t variant = 0;  // 0 uncompressed, else 1, 3 or 5 for DXT1/3/5
    uint32_t bytesPerPixel = 0;
    uint32_t masks[4] = {};         // red, green, blue, alpha of an uncompressed file
    const uint8_t* data = nullptr;  // the pixel data inside the caller's bytes
};

// False with a reason for a header that is damaged, of a format this reader does not know, or
// that promises more pixels than the data holds. Nothing is allocated either way.
bool readDdsHeader(const uint8_t* bytes, size_t size, DdsImage& out, std::string& error);

// Writes the pixels as 0xAARRGGBB, row y at `rows` + y * `pitch` bytes (pitch a multiple of 4).
// The bytes the header was read from must still be alive.
void decodeDdsPixels(const DdsImage& image, void* rows, size_t pitch);

}  // namespace Platform::Gpux
