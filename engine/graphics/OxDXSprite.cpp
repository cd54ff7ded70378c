#include "engine/graphics/OxDXSprite.h"

namespace Orvex::Graphics {

using namespace Platform;

OxDXSprite::~OxDXSprite() { release(); }

bool OxDXSprite::create(Gpu::GpuDevice* device) {
    release();
    if (device == nullptr) {
        return false;
    }
    Gpux::GpuxSprite* sprite = nullptr;
    if (Gpux::createSprite(device, &sprite) != Gpu::kOk) {
        return false;
    }
    Gpu::GpuSurface* backBuffer = nullptr;
    Gpu::SurfaceDesc desc;
    const bool read = device->getBackBuffer(0, 0, &backBuffer) == Gpu::kOk && backBuffer->getDesc(&desc) == Gpu::kOk;
    Gpu::safeRelease(backBuffer);
    if (!read) {
        sprite->release();
        return false;
    }
    sprite_ = sprite;
    device_ = device;
    width_ = desc.width;
    height_ = desc.height;
    return true;
}

void OxDXSprite::release() {
    device_ = nullptr;
    if (sprite_ != nullptr && sprite_->isBegun()) {
        sprite_->end();
    }
    Gpu::safeRelease(sprite_);
    width_ = 0;
    height_ = 0;
    beginCount_ = 0;
}

bool OxDXSprite::begin() {
    if (sprite_ == nullptr) {
        return false;
    }
    if (beginCount_ == 0 && sprite_->begin(Gpux::kSpriteAlphaBlend) != Gpu::kOk) {
        return false;
    }
    ++beginCount_;
    return true;
}

bool OxDXSprite::end() {
    if (sprite_ == nullptr || beginCount_ == 0) {
        return false;
    }
    --beginCount_;
    if (beginCount_ == 0) {
        return sprite_->end() == Gpu::kOk;
    }
    return true;
}

}  // namespace Orvex::Graphics
