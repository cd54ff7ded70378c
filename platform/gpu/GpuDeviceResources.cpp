#include <cstring>

#include "platform/gpu/GpuDevice.h"
#include "platform/gpu/GpuDeviceSupport.h"

namespace Platform::Gpu {

using namespace DeviceSupport;

Result GpuDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                                uint32_t pool, GpuTexture** out) {
    if (out == nullptr || !validSize(width, height) || levels != 1 || !isColorFormat(format) || pool > kPoolSystemMem ||
        (usage & ~uint32_t(kUsageRenderTarget | kUsageDynamic)) != 0 ||
        ((usage & kUsageRenderTarget) != 0 && pool != kPoolDefault)) {
        return kErrInvalidCall;
    }
    return allocate([&] { *out = new GpuTexture(std::make_shared<PixelImage>(width, height, format), usage, pool); });
}

Result GpuDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                     GpuVertexBuffer** out) {
    const uint32_t size = vertexSize(fvf);
    if (out == nullptr || size == 0 || length < size || pool > kPoolSystemMem ||
        (usage & ~uint32_t(kUsageWriteOnly | kUsageDynamic)) != 0) {
        return kErrInvalidCall;
    }
    return allocate([&] { *out = new GpuVertexBuffer(length, usage, fvf, pool); });
}

Result GpuDevice::createOffscreenPlainSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t pool,
                                              GpuSurface** out) {
    if (out == nullptr || !validSize(width, height) || !isColorFormat(format) || pool > kPoolSystemMem) {
        return kErrInvalidCall;
    }
    return allocate([&] { *out = new GpuSurface(std::make_shared<PixelImage>(width, height, format), 0, pool); });
}

Result GpuDevice::updateSurface(GpuSurface* source, const IntRect* sourceRect, GpuSurface* destination,
                                const IntPoint* destinationPoint) {
    Lock lock(mutex_);
    SurfaceDesc from, to;
    if (source == nullptr || destination == nullptr || source->getDesc(&from) < 0 || destination->getDesc(&to) < 0 ||
        from.pool != kPoolSystemMem || to.pool != kPoolDefault || from.format != to.format || source->isLocked() ||
        destination->isLocked()) {
        return kErrInvalidCall;
    }
    const IntRect area = sourceRect != nullptr ? *sourceRect : wholeImage(*source->image());
    const IntPoint at = destinationPoint != nullptr ? *destinationPoint : IntPoint{area.left, area.top};
    const int32_t w = area.right - area.left;
    const int32_t h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || area.left < 0 || area.top < 0 || area.right > int32_t(from.width) ||
        area.bottom > int32_t(from.height) || at.x < 0 || at.y < 0 || at.x + w > int32_t(to.width) ||
        at.y + h > int32_t(to.height)) {
        return kErrInvalidCall;
    }
    const PixelImage& src = *source->image();
    PixelImage& dst = *destination->image();
    for (int32_t y = 0; y < h; ++y) {
        std::memcpy(dst.row(uint32_t(at.y + y)) + at.x, src.row(uint32_t(area.top + y)) + area.left, size_t(w) * 4);
    }
    return kOk;
}

}  // namespace Platform::Gpu
