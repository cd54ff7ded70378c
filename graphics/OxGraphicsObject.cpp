#include "graphics/OxGraphicsObject.h"

#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

OxGraphicsObject::OxGraphicsObject(OxRenderer* renderer) : renderer_(renderer) {
    renderer_->retain();
    renderer_->registerObject(this);
}

OxGraphicsObject::~OxGraphicsObject() {
    renderer_->unregisterObject(this);
    renderer_->release();
}

}  // namespace Orvex::Graphics
