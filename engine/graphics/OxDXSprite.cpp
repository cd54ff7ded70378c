#include "engine/graphics/OxDXSprite.h"

#include <utility>

namespace Orvex::Graphics {

using namespace Platform;

OxDXSprite::~OxDXSprite() { release(); }

bool OxDXSprite::create(Gpu::GpuDevice* device) {
    release();
    if (device == nullptr) {
        return false;
    }
    OxRefPtr<Gpux::GpuxSprite> sprite;
    if (Gpux::createSprite(device, sprite.put()) != Gpu::kOk) {
        return false;
    }
    OxRefPtr<Gpu::GpuSurface> backBuffer;
    Gpu::SurfaceDesc desc;
    if (device->getBackBuffer(0, 0, backBuffer.put()) != Gpu::kOk || backBuffer->getDesc(&desc) != Gpu::kOk) {
        return false;
    }
    sprite_ = std::move(sprite);
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
    sprite_.reset();
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
