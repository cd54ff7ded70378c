#pragma once
// The first three operations of every interface that leaves the graphics library. Counts are
// atomic: textures are created, retained and released on worker threads while the game thread
// draws. Each implementation destroys itself when its count reaches zero.
#include <cstdint>

namespace Orvex::System {

class IOrvexRefCountObject {
public:
    virtual uint32_t retain() = 0;
    virtual uint32_t release() = 0;
    virtual uint32_t getRefCount() const = 0;

protected:
    ~IOrvexRefCountObject() = default;
};

}  // namespace Orvex::System
