#include "platform/gpux/TextureIO.h"

#include <fstream>
#include <iterator>
#include <vector>

#include <stb_image_write.h>

#include "platform/gpux/ImageDecoder.h"
#include "platform/kernel/CodePage.h"

namespace Platform::Gpux {
namespace {

void setError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

}  // namespace

uint32_t nextPowerOfTwo(uint32_t n) {
    uint32_t p = 1;
    while (p < n) {
        p <<= 1;
    }
    return p;
}

std::string nativePath(const std::u16string& path) {
    std::string narrow;
    if (!Kernel::wideToMultiByte(path, narrow)) {
        return {};
    }
    for (char& c : narrow) {
        if (c == '\\') {
            c = '/';
        }
    }
    return narrow;
}

Result createTextureFromMemory(Gpu::GpuDevice* device, const void* bytes, size_t size, uint32_t pool,
                               Gpu::GpuTexture** out, ImageInfo* info, std::string* error) {
    if (device == nullptr || bytes == nullptr || out == nullptr) {
        setError(error, "missing device, data or result");
        return Gpu::kErrInvalidCall;
    }
    ImageReader image;
    std::string why;
    if (!image.open(bytes, size, why)) {
        setError(error, why);
        return kErrInvalidData;
    }
    const uint32_t format = image.hasAlpha() ? Gpu::kFormatA8R8G8B8 : Gpu::kFormatX8R8G8B8;
    Gpu::GpuTexture* texture = nullptr;
    const Result created = device->createTexture(nextPowerOfTwo(image.width()), nextPowerOfTwo(image.height()), 1, 0,
                                                 format, pool, &texture);
    if (created < 0) {
        setError(error, "the device refused the texture");
        return created;
    }
    Gpu::LockedRect locked;
    if (texture->lockRect(0, &locked, nullptr, 0) < 0) {
        texture->release();
        setError(error, "the new texture could not be locked");
        return Gpu::kErrFail;
    }
    // Decoded straight into the texture: no picture of its own to fill and copy.
    image.readPixels(locked.bits, size_t(locked.pitch));
    texture->unlockRect(0);
    if (info != nullptr) {
        *info = ImageInfo{image.width(), image.height(), format};
    }
    *out = texture;
    return Gpu::kOk;
}

Result createTextureFromFile(Gpu::GpuDevice* device, const std::u16string& path, uint32_t pool, Gpu::GpuTexture** out,
                             ImageInfo* info, std::string* error) {
    if (device == nullptr || out == nullptr) {
        setError(error, "missing device or result");
        return Gpu::kErrInvalidCall;
    }
    const std::string native = nativePath(path);
    std::ifstream file(native, std::ios::binary);
    if (native.empty() || !file) {
        setError(error, "cannot open \"" + native + "\"");
        return kErrInvalidData;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        setError(error, "\"" + native + "\" is empty");
        return kErrInvalidData;
    }
    std::string why;
    const Result result = createTextureFromMemory(device, bytes.data(), bytes.size(), pool, out, info, &why);
    if (result < 0) {
        setError(error, "\"" + native + "\": " + why);
    }
    return result;
}

Result saveSurfaceToPngFile(const std::u16string& path, Gpu::GpuSurface* surface, std::string* error) {
    Gpu::SurfaceDesc desc;
    if (surface == nullptr || surface->getDesc(&desc) < 0) {
        setError(error, "no surface");
        return Gpu::kErrInvalidCall;
    }
    const std::string native = nativePath(path);
    if (native.empty()) {
        setError(error, "the path cannot be converted");
        return Gpu::kErrInvalidCall;
    }
    const Gpu::PixelImage& image = *surface->image();
    std::vector<uint8_t> rgba(size_t(image.width) * image.height * 4);
    for (uint32_t y = 0; y < image.height; ++y) {
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint32_t v = image.read(x, y);
            uint8_t* p = rgba.data() + (size_t(y) * image.width + x) * 4;
            p[0] = uint8_t(v >> 16);
            p[1] = uint8_t(v >> 8);
            p[2] = uint8_t(v);
            p[3] = uint8_t(v >> 24);
        }
    }
    if (stbi_write_png(native.c_str(), int(image.width), int(image.height), 4, rgba.data(), int(image.width * 4)) ==
        0) {
        setError(error, "cannot write \"" + native + "\"");
        return Gpu::kErrFail;
    }
    return Gpu::kOk;
}

}  // namespace Platform::Gpux
