// The intrusive pointer over the library's objects (retain/release) and the device's (addRef/release).
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "graphics/OxRefCounted.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpu/GpuObject.h"

namespace {

using Orvex::Graphics::OxRefPtr;

// The counting operations every interface of the library starts with.
class ICounted {
public:
    virtual uint32_t retain() = 0;
    virtual uint32_t release() = 0;
    virtual uint32_t getRefCount() const = 0;

protected:
    virtual ~ICounted() = default;
};

// Counts its destruction in a flag the test owns.
class LibraryObject : public Orvex::Graphics::OxRefCounted<ICounted> {
public:
    explicit LibraryObject(bool& destroyed) : destroyed_(destroyed) {}
    ~LibraryObject() override { destroyed_ = true; }

private:
    bool& destroyed_;
};

class DeviceObject : public Platform::Gpu::GpuObject {
public:
    explicit DeviceObject(bool& destroyed) : destroyed_(destroyed) {}
    ~DeviceObject() override { destroyed_ = true; }

private:
    bool& destroyed_;
};

TEST(OxRefPtr, AdoptedReferenceIsGivenBackOnceAndCopiesHoldTheirOwn) {
    bool destroyed = false;
    auto* object = new LibraryObject(destroyed);
    {
        auto held = OxRefPtr<LibraryObject>::adopt(object);
        EXPECT_EQ(object->getRefCount(), 1u);
        OxRefPtr<LibraryObject> copy = held;
        EXPECT_EQ(object->getRefCount(), 2u);
        OxRefPtr<LibraryObject> moved = std::move(copy);
        EXPECT_EQ(object->getRefCount(), 2u);
        EXPECT_EQ(copy, nullptr);
        moved.reset();
        EXPECT_EQ(object->getRefCount(), 1u);
        auto& same = held;
        held = same;  // self-assignment keeps the reference
        EXPECT_EQ(object->getRefCount(), 1u);
    }
    EXPECT_TRUE(destroyed);
}

TEST(OxRefPtr, SharedAndDetachedReferencesOfDeviceObjects) {
    bool destroyed = false;
    auto* object = new DeviceObject(destroyed);
    {
        auto shared = OxRefPtr<DeviceObject>::share(object);  // the test keeps its own reference
        EXPECT_EQ(object->refCount(), 2u);
        DeviceObject* handedOut = OxRefPtr<DeviceObject>(shared).detach();
        EXPECT_EQ(handedOut, object);
        EXPECT_EQ(object->refCount(), 3u);
        handedOut->release();
    }
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(object->refCount(), 1u);
    object->release();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(OxRefPtr<DeviceObject>::share(nullptr), nullptr);
}

}  // namespace
