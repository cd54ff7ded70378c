#include "platform/gpu/GpuVertexBuffer.h"

namespace Platform::Gpu {

GpuVertexBuffer::GpuVertexBuffer(uint32_t size, uint32_t usage, uint32_t fvf, uint32_t pool)
    : size_(size), usage_(usage), fvf_(fvf), pool_(pool), bytes_(new unsigned char[size]()) {}

Result GpuVertexBuffer::getDesc(VertexBufferDesc* out) const {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = VertexBufferDesc{usage_, pool_, size_, fvf_};
    return kOk;
}

Result GpuVertexBuffer::lock(uint32_t offset, uint32_t size, void** data, uint32_t) {
    if (data == nullptr) {
        return kErrInvalidCall;
    }
    *data = nullptr;
    if (offset >= size_ || uint64_t(offset) + size > size_) {
        return kErrInvalidCall;
    }
    std::lock_guard<std::mutex> guard(access_);
    if (locked_) {
        return kErrInvalidCall;
    }
    locked_ = true;
    *data = bytes_.get() + offset;
    return kOk;
}

Result GpuVertexBuffer::unlock() {
    std::lock_guard<std::mutex> guard(access_);
    if (!locked_) {
        return kErrInvalidCall;
    }
    locked_ = false;
    return kOk;
}

bool GpuVertexBuffer::isLocked() const {
    std::lock_guard<std::mutex> guard(access_);
    return locked_;
}

const unsigned char* GpuVertexBuffer::contentsForDraw(std::unique_lock<std::mutex>& guard) {
    guard = std::unique_lock<std::mutex>(access_);
    if (locked_) {
        guard.unlock();
        return nullptr;
    }
    return bytes_.get();
}

}  // namespace Platform::Gpu
