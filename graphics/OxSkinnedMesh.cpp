#include "graphics/OxSkinnedMesh.h"

namespace Orvex::Graphics {

OxSkinnedMesh::OxSkinnedMesh(IOrvexGraphics* graphics)
    : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)),
      motion_(OxRefPtr<OxMotionController>::adopt(new OxMotionController(this))),
      skin_(OxRefPtr<OxSkinController>::adopt(new OxSkinController(this))),
      root_(OxRefPtr<OxFrame>::adopt(new OxFrame(nullptr, nullptr))) {}

void OxSkinnedMesh::update(float elapsed) {
    if (hierarchy_ != nullptr) {
        hierarchy_->update(elapsed);
    }
}

}  // namespace Orvex::Graphics
