#pragma once
// The program's own sprite wrapper over the device helpers' sprite object, for debug text.
// begin/end pairs nest; only the outermost pair reaches the sprite object.
#include <cstdint>

#include "graphics/include/OxRefPtr.h"
#include "platform/gpux/GpuxSprite.h"

namespace Orvex::Graphics {

class OxDXSprite {
public:
    OxDXSprite() = default;
    OxDXSprite(const OxDXSprite&) = delete;
    OxDXSprite& operator=(const OxDXSprite&) = delete;
    virtual ~OxDXSprite();

    // Makes the sprite object and reads the back buffer's size. False for a null device or when
    // either step fails.
    bool create(Platform::Gpu::GpuDevice* device);
    // Forgets the device and drops the sprite object; called before a device reset.
    void release();
    bool begin();
    // False without a sprite object or without a matching begin.
    bool end();

    Platform::Gpu::GpuDevice* getDevice() const { return device_; }
    Platform::Gpux::GpuxSprite* getSprite() const { return sprite_.get(); }
    uint32_t getWidth() const { return width_; }
    uint32_t getHeight() const { return height_; }
    uint32_t getBeginCount() const { return beginCount_; }

private:
    Platform::Gpu::GpuDevice* device_ = nullptr;  // not owned
    OxRefPtr<Platform::Gpux::GpuxSprite> sprite_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t beginCount_ = 0;
};

}  // namespace Orvex::Graphics
