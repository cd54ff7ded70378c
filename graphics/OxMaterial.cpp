#include "graphics/OxMaterial.h"

namespace Orvex::Graphics {

OxMaterial::OxMaterial(IOrvexGraphics* graphics, const Platform::Gpu::Material* source)
    : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)),
      effect_(OxRefPtr<OxDefaultMaterialEffect>::adopt(new OxDefaultMaterialEffect(graphics))),
      source_(source) {}

}  // namespace Orvex::Graphics
