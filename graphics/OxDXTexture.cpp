#include "graphics/OxDXTexture.h"

#include <cstring>

#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;

OxDXTexture::OxDXTexture(OxRenderer* renderer) : OxGraphicsObject(renderer) { joinRegistry(); }

OxDXTexture::~OxDXTexture() {
    leaveRegistry();
    release();
}

void OxDXTexture::onLostDevice() {
    if (pool_ == kPoolDefault) {
        if (locked_) {
            unlock(0);
        }
        texture_.reset();
    }
}

void OxDXTexture::onResetDevice() {
    if (pool_ != kPoolDefault) {
        return;
    }
    OxRefPtr<GpuTexture> texture;
    if (getRenderer()->getDevice()->createTexture(width_, height_, 1, usage_, format_, pool_, texture.put()) >= 0) {
        texture_ = std::move(texture);
    }
}

void OxDXTexture::release() {
    if (locked_) {
        unlock(0);
    }
    texture_.reset();
    width_ = height_ = format_ = usage_ = 0;
    pool_ = kPoolSystemMem;
}

int32_t OxDXTexture::create(uint32_t width, uint32_t height, uint32_t format, uint32_t pool) {
    return create(width, height, 0, format, pool);
}

int32_t OxDXTexture::create(uint32_t width, uint32_t height, uint32_t usage, uint32_t format, uint32_t pool) {
    release();
    if (getRenderer()->getDevice()->createTexture(width, height, 1, usage, format, pool, texture_.put()) < 0) {
        return -1;
    }
    if (!readDescription()) {
        return -2;
    }
    if (format_ != format || usage_ != usage || pool_ != pool) {
        release();
        return -1;
    }
    return width_ == width && height_ == height ? 0 : 1;
}

bool OxDXTexture::readDescription() {
    SurfaceDesc desc;
    if (texture_ == nullptr || texture_->getLevelDesc(0, &desc) < 0) {
        return false;
    }
    width_ = desc.width;
    height_ = desc.height;
    format_ = desc.format;
    usage_ = desc.usage;
    pool_ = desc.pool;
    return true;
}

bool OxDXTexture::attach(GpuTexture* texture) {
    release();
    SurfaceDesc desc;
    if (texture == nullptr || texture->getLevelDesc(0, &desc) < 0) {
        return false;
    }
    texture_ = OxRefPtr<GpuTexture>::share(texture);
    return readDescription();
}

bool OxDXTexture::copyFromSurface(GpuSurface* source) {
    SurfaceDesc from;
    if (isEmpty() || source == nullptr || source->getDesc(&from) < 0 || from.pool != kPoolSystemMem ||
        pool_ != kPoolDefault) {
        return false;
    }
    const auto level = OxRefPtr<GpuSurface>::adopt(getSurfaceLevel(0));
    if (level == nullptr) {
        return false;
    }
    return getRenderer()->getDevice()->updateSurface(source, nullptr, level.get(), nullptr) >= 0;
}

bool OxDXTexture::clearContents() {
    if (isEmpty()) {
        return true;
    }
    if (locked_) {
        return false;
    }
    void* bits = nullptr;
    int32_t pitch = 0;
    if (!lockForWrite(&bits, &pitch, 0)) {
        return false;
    }
    std::memset(bits, 0, size_t(pitch) * height_);
    return unlock(0);
}

GpuSurface* OxDXTexture::getSurfaceLevel(uint32_t level) const {
    GpuSurface* surface = nullptr;
    if (texture_ == nullptr || texture_->getSurfaceLevel(level, &surface) < 0) {
        return nullptr;
    }
    return surface;
}

bool OxDXTexture::lock(void** bits, int32_t* pitch, uint32_t level, uint32_t flags) {
    if (isEmpty() || locked_ || bits == nullptr || pitch == nullptr) {
        return false;
    }
    LockedRect locked;
    if (texture_->lockRect(level, &locked, nullptr, flags) < 0) {
        return false;
    }
    *bits = locked.bits;
    *pitch = locked.pitch;
    locked_ = true;
    return true;
}

bool OxDXTexture::lockReadOnly(void** bits, int32_t* pitch, uint32_t level) {
    return lock(bits, pitch, level, kLockReadOnly);
}

bool OxDXTexture::lockForWrite(void** bits, int32_t* pitch, uint32_t level) {
    return lock(bits, pitch, level, (usage_ & kUsageDynamic) != 0 ? uint32_t(kLockDiscard) : 0u);
}

bool OxDXTexture::unlock(uint32_t level) {
    if (!locked_) {
        return true;
    }
    if (texture_ == nullptr || texture_->unlockRect(level) < 0) {
        return false;
    }
    locked_ = false;
    return true;
}

}  // namespace Orvex::Graphics
