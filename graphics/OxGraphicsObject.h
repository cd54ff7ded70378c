#pragma once
// Base of every object that holds device resources. It keeps the renderer and is in the
// renderer's registry from construction to destruction, so that a reset can tell it that the
// device was lost and reset.
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

private:
    OxRefPtr<OxRenderer> renderer_;
};

}  // namespace Orvex::Graphics
