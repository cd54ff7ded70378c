#pragma once
// A texture of one level. Default-pool textures are counted by their device, which refuses a
// reset while any of them is alive.
#include <atomic>
#include <memory>

#include "platform/gpu/GpuSurface.h"

namespace Platform::Gpu {

class GpuTexture : public GpuObject {
public:
    GpuTexture(std::shared_ptr<PixelImage> image, uint32_t usage, uint32_t pool);

    virtual uint32_t getLevelCount() const { return 1; }
    virtual Result getLevelDesc(uint32_t level, SurfaceDesc* out) const;
    // The level's surface with a reference added for the caller (the same object every time).
    virtual Result getSurfaceLevel(uint32_t level, GpuSurface** out);
    virtual Result lockRect(uint32_t level, LockedRect* out, const IntRect* rect, uint32_t flags);
    virtual Result unlockRect(uint32_t level);

    const std::shared_ptr<PixelImage>& image() const { return level0_->image(); }
    uint32_t usage() const { return usage_; }
    uint32_t pool() const { return pool_; }

protected:
    ~GpuTexture() override;

private:
    GpuSurface* level0_;
    uint32_t usage_;
    uint32_t pool_;
};

}  // namespace Platform::Gpu
