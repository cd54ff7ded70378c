#include "graphics/OxGraphicsObject.h"

#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

OxGraphicsObject::OxGraphicsObject(OxRenderer* renderer) : renderer_(OxRefPtr<OxRenderer>::share(renderer)) {}

OxGraphicsObject::~OxGraphicsObject() { leaveRegistry(); }

void OxGraphicsObject::joinRegistry() {
    if (!registered_) {
        renderer_->registerObject(this);
        registered_ = true;
    }
}

void OxGraphicsObject::leaveRegistry() {
    if (registered_) {
        renderer_->unregisterObject(this);
        registered_ = false;
    }
}

}  // namespace Orvex::Graphics
