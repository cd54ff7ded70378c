#pragma once
// Holds one reference of a reference-counted graphics object (the library's objects count with
// retain, the device's with addRef; both end with release) and gives it back when it goes.
#include <cstddef>
#include <utility>

namespace Orvex::Graphics {

template <typename T>
class OxRefPtr {
public:
    OxRefPtr() = default;
    // Takes over the reference the caller holds (a new object, or one handed out with a reference).
    static OxRefPtr adopt(T* object) { return OxRefPtr(object); }
    // Takes a reference of its own.
    static OxRefPtr share(T* object) {
        if (object != nullptr) {
            addReference(object);
        }
        return OxRefPtr(object);
    }

    OxRefPtr(const OxRefPtr& other) : object_(other.object_) {
        if (object_ != nullptr) {
            addReference(object_);
        }
    }
    OxRefPtr(OxRefPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    OxRefPtr& operator=(OxRefPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~OxRefPtr() { reset(); }

    // Releases the reference held, if any.
    void reset() {
        if (T* object = std::exchange(object_, nullptr)) {
            object->release();
        }
    }
    // Releases the reference held and gives the address an out-parameter writes a new one to.
    T** put() {
        reset();
        return &object_;
    }
    // Hands the reference to the caller.
    [[nodiscard]] T* detach() { return std::exchange(object_, nullptr); }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    bool operator==(std::nullptr_t) const { return object_ == nullptr; }

private:
    explicit OxRefPtr(T* object) : object_(object) {}

    static void addReference(T* object) {
        if constexpr (requires { object->retain(); }) {
            object->retain();
        } else {
            object->addRef();
        }
    }

    T* object_ = nullptr;
};

}  // namespace Orvex::Graphics
