#pragma once
// Base of every object that holds device resources. It keeps the renderer and is in the
// renderer's registry while it is whole, so that a reset can tell it that the device was lost
// and reset. A reset may run on another thread at any time: the most derived class joins the
// registry at the end of its constructor and leaves it first thing in its destructor, so a reset
// never reaches an object that is only partly built or partly torn down.
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxRenderer;

class OxGraphicsObject {
public:
    explicit OxGraphicsObject(OxRenderer* renderer);
    OxGraphicsObject(const OxGraphicsObject&) = delete;
    OxGraphicsObject& operator=(const OxGraphicsObject&) = delete;
    virtual ~OxGraphicsObject();
    virtual void releaseResources() = 0;
    virtual void onLostDevice() = 0;
    virtual void onResetDevice() = 0;

    OxRenderer* getRenderer() const { return renderer_.get(); }

protected:
    void joinRegistry();
    // Waits for a reset that is walking the registry; leaving twice is harmless.
    void leaveRegistry();

private:
    OxRefPtr<OxRenderer> renderer_;
    bool registered_ = false;
};

}  // namespace Orvex::Graphics
