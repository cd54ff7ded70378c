#pragma once
// Checks and reference handling shared by the parts of GpuDevice.
#include <algorithm>
#include <mutex>
#include <new>

#include "platform/gpu/GpuObject.h"
#include "platform/gpu/GpuTypes.h"
#include "platform/gpu/PixelImage.h"

namespace Platform::Gpu::DeviceSupport {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr uint32_t kMaxTextureSize = 8192;

// A surface or back buffer size the device makes.
inline bool validSize(uint32_t width, uint32_t height) {
    return width != 0 && height != 0 && width <= kMaxTextureSize && height <= kMaxTextureSize;
}

// The overlap of two rectangles; the empty rectangle {} when there is none.
inline IntRect intersect(const IntRect& a, const IntRect& b) {
    IntRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        return IntRect{};
    }
    return r;
}

inline IntRect wholeImage(const PixelImage& image) {
    return IntRect{0, 0, int32_t(image.width), int32_t(image.height)};
}

// Copies a value to the caller; a null destination is refused.
template <typename T>
Result copyOut(T* out, const T& value) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = value;
    return kOk;
}

// Copies a caller's value to the place `at` returns; a null source is refused before the place is
// asked for (so no map entry is made for it).
template <typename T, typename At>
Result copyIn(const T* from, At&& at) {
    if (from == nullptr) {
        return kErrInvalidCall;
    }
    at() = *from;
    return kOk;
}

// Gives the caller its own reference to an object (or null).
template <typename T>
void handOut(T* object, T** out) {
    if (object != nullptr) {
        object->addRef();
    }
    *out = object;
}

// Points a binding at an object (or null), holding a reference, and drops the old one.
template <typename T>
void bind(T*& binding, T* object) {
    if (binding == object) {
        return;  // already held: sprite after sprite binds the same texture
    }
    if (object != nullptr) {
        object->addRef();
    }
    safeRelease(binding);
    binding = object;
}

// Runs `make`; a failed allocation is kErrOutOfMemory.
template <typename Make>
Result allocate(Make&& make) {
    try {
        make();
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    }
    return kOk;
}

}  // namespace Platform::Gpu::DeviceSupport
