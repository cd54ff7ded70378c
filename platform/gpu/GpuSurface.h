#pragma once
// A two-dimensional pixel surface: the back buffer, a level of a texture, or an off-screen plain
// surface. The pixels are shared with the texture the surface belongs to.
#include <atomic>
#include <memory>

#include "platform/gpu/GpuObject.h"
#include "platform/gpu/PixelImage.h"

namespace Platform::Gpu {

class GpuSurface : public GpuObject {
public:
    GpuSurface(std::shared_ptr<PixelImage> image, uint32_t usage, uint32_t pool);

    virtual Result getDesc(SurfaceDesc* out) const;
    // Locks the whole surface (a rectangle, when given, selects where `bits` points).
    virtual Result lockRect(LockedRect* out, const IntRect* rect, uint32_t flags);
    virtual Result unlockRect();
    virtual bool isLocked() const { return locked_.load(); }

    // Device-internal access to the pixels.
    const std::shared_ptr<PixelImage>& image() const { return image_; }

private:
    std::shared_ptr<PixelImage> image_;
    uint32_t usage_;
    uint32_t pool_;
    std::atomic<bool> locked_{false};
};

}  // namespace Platform::Gpu
