#pragma once
// A vertex buffer: bytes the caller fills through lock/unlock and the device draws from once the
// buffer is bound as stream source 0. A lock covers a byte range and is exclusive; the device
// refuses to draw from a buffer while it is locked, and a lock taken while a draw reads the
// buffer waits for that draw to finish.
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/gpu/GpuObject.h"
#include "platform/gpu/GpuTypes.h"

namespace Platform::Gpu {

class GpuVertexBuffer : public GpuObject {
public:
    // Throws std::bad_alloc when the bytes cannot be had. The contents start zeroed.
    GpuVertexBuffer(uint32_t size, uint32_t usage, uint32_t fvf, uint32_t pool);

    virtual Result getDesc(VertexBufferDesc* out) const;
    // Locks `size` bytes from `offset` (a size of 0 locks from `offset` to the end) and points
    // `data` at them (null on failure). Ranges past the end and a second lock are refused. Flags
    // change nothing.
    virtual Result lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
    virtual Result unlock();
    virtual bool isLocked() const;

    uint32_t size() const { return size_; }
    // Device-internal: the contents for a draw, the buffer's own lock held in `guard` for as long
    // as the caller reads; null (with `guard` unlocked) while the buffer is locked.
    const unsigned char* contentsForDraw(std::unique_lock<std::mutex>& guard);

private:
    const uint32_t size_;
    const uint32_t usage_;
    const uint32_t fvf_;
    const uint32_t pool_;
    const std::unique_ptr<unsigned char[]> bytes_;
    mutable std::mutex access_;
    bool locked_ = false;
};

}  // namespace Platform::Gpu
