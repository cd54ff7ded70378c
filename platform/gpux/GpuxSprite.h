#pragma once
// The sprite object of the device helpers: draws textured rectangles in screen pixels between
// begin and end. `begin` saves the device states it changes and sets its own; `end` puts the
// saved states back, so users of the device never see the sprite's settings.
#include "platform/gpu/GpuDevice.h"

namespace Platform::Gpux {

using Gpu::Result;

enum SpriteFlags : uint32_t { kSpriteAlphaBlend = 0x10 };

class GpuxSprite : public Gpu::GpuObject {
public:
    explicit GpuxSprite(Gpu::GpuDevice* device);

    // kErrInvalidCall when already begun.
    virtual Result begin(uint32_t flags);
    // kErrInvalidCall when not begun.
    virtual Result end();
    // Draws the texture's `source` rectangle (the whole texture when null) with its top-left
    // corner at `position` (rounded to whole pixels), texels 1:1, modulated by the ARGB colour.
    // kErrInvalidCall outside begin/end or for a null texture.
    virtual Result draw(Gpu::GpuTexture* texture, const Gpu::IntRect* source, float x, float y, uint32_t argb);
    virtual Result getDevice(Gpu::GpuDevice** out);
    bool isBegun() const { return begun_; }

protected:
    ~GpuxSprite() override;

private:
    struct SavedStates;
    void saveStates();
    void restoreStates();

    Gpu::GpuDevice* device_;
    bool begun_ = false;
    SavedStates* saved_ = nullptr;
};

// A new sprite object (count 1) on the device; kErrInvalidCall for a null device.
Result createSprite(Gpu::GpuDevice* device, GpuxSprite** out);

}  // namespace Platform::Gpux
