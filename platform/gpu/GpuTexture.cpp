#include "platform/gpu/GpuTexture.h"

namespace Platform::Gpu {

GpuTexture::GpuTexture(std::shared_ptr<PixelImage> image, uint32_t usage, uint32_t pool)
    : level0_(new GpuSurface(std::move(image), usage, pool)), usage_(usage), pool_(pool) {}

GpuTexture::~GpuTexture() { level0_->release(); }

Result GpuTexture::getLevelDesc(uint32_t level, SurfaceDesc* out) const {
    return level == 0 ? level0_->getDesc(out) : kErrInvalidCall;
}

Result GpuTexture::getSurfaceLevel(uint32_t level, GpuSurface** out) {
    if (level != 0 || out == nullptr) {
        return kErrInvalidCall;
    }
    level0_->addRef();
    *out = level0_;
    return kOk;
}

Result GpuTexture::lockRect(uint32_t level, LockedRect* out, const IntRect* rect, uint32_t flags) {
    return level == 0 ? level0_->lockRect(out, rect, flags) : kErrInvalidCall;
}

Result GpuTexture::unlockRect(uint32_t level) { return level == 0 ? level0_->unlockRect() : kErrInvalidCall; }

}  // namespace Platform::Gpu
