#include "platform/gpu/GpuSurface.h"

namespace Platform::Gpu {

GpuSurface::GpuSurface(std::shared_ptr<PixelImage> image, uint32_t usage, uint32_t pool)
    : image_(std::move(image)), usage_(usage), pool_(pool) {}

Result GpuSurface::getDesc(SurfaceDesc* out) const {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = SurfaceDesc{image_->format, usage_, pool_, image_->width, image_->height};
    return kOk;
}

Result GpuSurface::lockRect(LockedRect* out, const IntRect* rect, uint32_t) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    int32_t x = 0;
    int32_t y = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->right > int32_t(image_->width) ||
            rect->bottom > int32_t(image_->height) || rect->left >= rect->right || rect->top >= rect->bottom) {
            return kErrInvalidCall;
        }
        x = rect->left;
        y = rect->top;
    }
    bool expected = false;
    if (!locked_.compare_exchange_strong(expected, true)) {
        return kErrInvalidCall;
    }
    out->pitch = int32_t(image_->pitchBytes());
    out->bits = image_->row(uint32_t(y)) + x;
    return kOk;
}

Result GpuSurface::unlockRect() {
    bool expected = true;
    return locked_.compare_exchange_strong(expected, false) ? kOk : kErrInvalidCall;
}

}  // namespace Platform::Gpu
