#include "engine/script/CLuaHeap.h"

#include <cstdlib>
#include <cstring>

namespace Orvex::Script {

// The area is left uninitialised, as memory from the C library is.
CLuaHeap::CLuaHeap() : area_(new uint8_t[kAreaBytes]) {}

void* CLuaHeap::cut(std::size_t size) {
    const std::size_t need = rounded(size);
    if (need <= kAreaBytes - top_) {
        void* block = area_.get() + top_;
        top_ += need;
        return block;
    }
    return std::malloc(size);
}

void* CLuaHeap::resize(void* block, std::size_t oldSize, std::size_t newSize) {
    auto* byte = static_cast<uint8_t*>(block);
    const std::size_t offset = static_cast<std::size_t>(byte - area_.get());
    const bool last = offset + rounded(oldSize) == top_;
    if (last && rounded(newSize) <= kAreaBytes - offset) {
        top_ = offset + rounded(newSize);
        return block;
    }
    if (newSize <= oldSize) {
        return block;
    }
    void* moved = cut(newSize);
    if (moved != nullptr) {
        std::memcpy(moved, block, oldSize);
        if (last) {
            top_ = offset;
        }
    }
    return moved;
}

void* CLuaHeap::allocate(void* heap, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* self = static_cast<CLuaHeap*>(heap);
    if (newSize == 0) {
        if (block != nullptr && self->owns(block)) {
            const auto offset = static_cast<std::size_t>(static_cast<uint8_t*>(block) - self->area_.get());
            if (offset + rounded(oldSize) == self->top_) {
                self->top_ = offset;
            }
        } else {
            std::free(block);
        }
        return nullptr;
    }
    if (newSize > kLargestBlock) {
        return nullptr;
    }
    if (block == nullptr) {
        return self->cut(newSize);
    }
    if (self->owns(block)) {
        return self->resize(block, oldSize, newSize);
    }
    return std::realloc(block, newSize);
}

}  // namespace Orvex::Script
