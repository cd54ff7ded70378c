#pragma once
// The wrapper of one device texture, registered with the renderer so that default-pool textures
// (render targets) are dropped when the device is lost and made again, empty, after a reset.
#include "graphics/OxGraphicsObject.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpu/GpuDevice.h"

namespace Orvex::Graphics {

class OxDXTexture : public OxGraphicsObject {
public:
    explicit OxDXTexture(OxRenderer* renderer);
    ~OxDXTexture() override;
    void releaseResources() override { release(); }
    void onLostDevice() override;
    void onResetDevice() override;

    bool isEmpty() const { return texture_ == nullptr; }
    // Unlocks, releases the device texture and forgets the description.
    void release();
    int32_t create(uint32_t width, uint32_t height, uint32_t format, uint32_t pool);
    // 0: made as asked; 1: made at another size; -1: not made or not as asked; -2: no description.
    int32_t create(uint32_t width, uint32_t height, uint32_t usage, uint32_t format, uint32_t pool);
    int32_t reserved8(uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
    bool attach(Platform::Gpu::GpuTexture* texture);
    Platform::Gpu::GpuTexture* getTexture() const { return texture_.get(); }
    bool copyFromSurface(Platform::Gpu::GpuSurface* source);
    bool clearContents();
    // The level's surface with a reference for the caller, or null.
    Platform::Gpu::GpuSurface* getSurfaceLevel(uint32_t level) const;
    bool isLocked() const { return locked_; }
    bool lock(void** bits, int32_t* pitch, uint32_t level, uint32_t flags);
    bool lockReadOnly(void** bits, int32_t* pitch, uint32_t level);
    bool lockForWrite(void** bits, int32_t* pitch, uint32_t level);
    bool unlock(uint32_t level);
    uint32_t getWidth() const { return width_; }
    uint32_t getHeight() const { return height_; }
    uint32_t getFormat() const { return format_; }
    uint32_t getUsage() const { return usage_; }
    uint32_t getPool() const { return pool_; }

private:
    bool readDescription();

    OxRefPtr<Platform::Gpu::GpuTexture> texture_;
    bool locked_ = false;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t format_ = 0;
    uint32_t usage_ = 0;
    uint32_t pool_ = Platform::Gpu::kPoolSystemMem;
};

}  // namespace Orvex::Graphics
