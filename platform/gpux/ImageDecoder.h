#pragma once
// Decodes image files into 32-bit ARGB pixels. The format is recognised from the content, not
// from a file name: plain 8-bit RGB and RGBA PNG by our own row reader (on stb's inflate), every
// other PNG, BMP, TGA and JPEG through the stb library, DDS (uncompressed 24/32-bit and
// DXT1/3/5) by our own reader.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gpux/DdsImage.h"
#include "platform/gpux/PngImage.h"

namespace Platform::Gpux {

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;         // the file carries alpha; otherwise every pixel is opaque
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

// An image read in two steps, so that its pixels go straight into memory sized from its header
// (a texture's) instead of through a picture of their own.
class ImageReader {
public:
    ImageReader() = default;
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;

    // False with a reason in `error` for data that is not a complete image of a known format.
    // `bytes` must outlive the reader.
    bool open(const void* bytes, size_t size, std::string& error);

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    // The file carries alpha; otherwise every pixel is written opaque.
    bool hasAlpha() const { return hasAlpha_; }

    // Writes the pixels as 0xAARRGGBB, row y at `rows` + y * `pitch` bytes (pitch a multiple of
    // 4, at least width * 4). Once, after a successful `open`.
    void readPixels(void* rows, size_t pitch);

private:
    struct StbFree {
        void operator()(unsigned char* pixels) const;
    };

    uint32_t width_ = 0;
    uint32_t height_ = 0;
    bool hasAlpha_ = false;
    DdsImage dds_;
    PngImage png_;
    std::unique_ptr<unsigned char, StbFree> rgba_;  // stb's picture, R, G, B, A bytes
};

// False with a reason in `error` for data that is not a complete image of a known format.
bool decodeImage(const void* bytes, size_t size, DecodedImage& out, std::string& error);

}  // namespace Platform::Gpux
