#include "graphics/OxGraphicsObject.h"

#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

OxGraphicsObject::OxGraphicsObject(OxRenderer* renderer) : renderer_(OxRefPtr<OxRenderer>::share(renderer)) {
    renderer_->registerObject(this);
}

OxGraphicsObject::~OxGraphicsObject() { renderer_->unregisterObject(this); }

}  // namespace Orvex::Graphics
