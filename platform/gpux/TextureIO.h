#pragma once
// Textures from image files and surfaces to PNG files.
//
// Loading keeps the image at its pixel size in the top-left corner of a texture whose sides are
// rounded up to powers of two (no scaling, no colour key); the rest is transparent black. Images
// with alpha become A8R8G8B8 textures, opaque ones X8R8G8B8.
#include <cstddef>
#include <string>

#include "platform/gpu/GpuDevice.h"

namespace Platform::Gpux {

using Gpu::Result;

// The code for bytes that are not an image this module reads.
inline constexpr Result kErrInvalidData = static_cast<Result>(0x88760B59u);

struct ImageInfo {
    uint32_t width = 0;  // of the image, not of the texture
    uint32_t height = 0;
    uint32_t format = Gpu::kFormatUnknown;
};

uint32_t nextPowerOfTwo(uint32_t n);

Result createTextureFromMemory(Gpu::GpuDevice* device, const void* bytes, size_t size, uint32_t pool,
                               Gpu::GpuTexture** out, ImageInfo* info = nullptr, std::string* error = nullptr);
// `path` is an engine path (either separator) used as it stands: a relative path is opened
// against the current directory.
Result createTextureFromFile(Gpu::GpuDevice* device, const std::u16string& path, uint32_t pool, Gpu::GpuTexture** out,
                             ImageInfo* info = nullptr, std::string* error = nullptr);
// Writes the whole surface as an RGBA PNG (surfaces without alpha are written opaque).
Result saveSurfaceToPngFile(const std::u16string& path, Gpu::GpuSurface* surface, std::string* error = nullptr);

// The native (UTF-8, '/'-separated) form of an engine path; empty when it cannot be converted.
std::string nativePath(const std::u16string& path);

}  // namespace Platform::Gpux
