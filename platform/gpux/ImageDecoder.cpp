#include "platform/gpux/ImageDecoder.h"

#include <cstring>
#include <limits>

#include <stb_image.h>

namespace Platform::Gpux {
namespace {

constexpr uint32_t kMaxSide = 8192;

bool isDds(const uint8_t* data, size_t size) { return size >= 4 && std::memcmp(data, "DDS ", 4) == 0; }

std::string stbReason() {
    const char* reason = stbi_failure_reason();
    return std::string("not a readable image (") + (reason != nullptr ? reason : "unknown format") + ")";
}

std::string sizeRefused(int w, int h) {
    return "image size " + std::to_string(w) + "x" + std::to_string(h) + " is not supported";
}

}  // namespace

void ImageReader::StbFree::operator()(unsigned char* pixels) const { stbi_image_free(pixels); }

bool ImageReader::open(const void* bytes, size_t size, std::string& error) {
    rgba_.reset();
    dds_ = DdsImage{};
    png_ = PngImage{};
    width_ = height_ = 0;
    hasAlpha_ = false;
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (data == nullptr || size == 0) {
        error = "no image data";
        return false;
    }
    if (isDds(data, size)) {
        if (!readDdsHeader(data, size, dds_, error)) {
            return false;
        }
        width_ = dds_.width;
        height_ = dds_.height;
        hasAlpha_ = dds_.hasAlpha;
        return true;
    }
    if (size > size_t(std::numeric_limits<int>::max())) {
        error = "image data is too large";
        return false;
    }
    if (readCommonPng(data, size, kMaxSide, png_)) {
        width_ = png_.width;
        height_ = png_.height;
        hasAlpha_ = png_.channels == 4;
        return true;
    }
    // The header's size is refused before the library allocates the picture it promises.
    int w = 0, h = 0, channels = 0;
    if (stbi_info_from_memory(data, int(size), &w, &h, &channels) == 0) {
        error = stbReason();
        return false;
    }
    if (w <= 0 || h <= 0 || uint32_t(w) > kMaxSide || uint32_t(h) > kMaxSide) {
        error = sizeRefused(w, h);
        return false;
    }
    rgba_.reset(stbi_load_from_memory(data, int(size), &w, &h, &channels, 4));
    if (rgba_ == nullptr) {
        error = stbReason();
        return false;
    }
    if (w <= 0 || h <= 0 || uint32_t(w) > kMaxSide || uint32_t(h) > kMaxSide) {
        rgba_.reset();
        error = sizeRefused(w, h);
        return false;
    }
    width_ = uint32_t(w);
    height_ = uint32_t(h);
    hasAlpha_ = channels == 2 || channels == 4;
    return true;
}

void ImageReader::readPixels(void* rows, size_t pitch) {
    if (png_.raw != nullptr) {
        writePngPixels(png_, rows, pitch);
        return;
    }
    if (rgba_ == nullptr) {
        decodeDdsPixels(dds_, rows, pitch);
        return;
    }
    // R, G, B, A bytes read as one little-endian word are 0xAABBGGRR: swapping red and blue
    // gives the texture's 0xAARRGGBB, a loop the compiler turns into vector shuffles.
    const uint32_t opaque = hasAlpha_ ? 0 : 0xFF000000u;
    const size_t rowBytes = size_t(width_) * 4;
    for (uint32_t y = 0; y < height_; ++y) {
        const unsigned char* source = rgba_.get() + y * rowBytes;
        auto* row = reinterpret_cast<uint32_t*>(static_cast<char*>(rows) + y * pitch);
        for (uint32_t x = 0; x < width_; ++x) {
            uint32_t v;
            std::memcpy(&v, source + size_t(x) * 4, 4);
            row[x] = (v & 0xFF00FF00u) | (v & 0xFFu) << 16 | (v >> 16 & 0xFFu) | opaque;
        }
    }
}

bool decodeImage(const void* bytes, size_t size, DecodedImage& out, std::string& error) {
    ImageReader reader;
    if (!reader.open(bytes, size, error)) {
        return false;
    }
    out.width = reader.width();
    out.height = reader.height();
    out.hasAlpha = reader.hasAlpha();
    out.pixels.resize(size_t(out.width) * out.height);
    reader.readPixels(out.pixels.data(), size_t(out.width) * 4);
    return true;
}

}  // namespace Platform::Gpux
