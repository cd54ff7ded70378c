#include "graphics/OxDefaultMaterialEffect.h"

#include <algorithm>

namespace Orvex::Graphics {

OxDefaultMaterialEffect::OxDefaultMaterialEffect(System::IOrvexRefCountObject* owner)
    : owner_(OxRefPtr<System::IOrvexRefCountObject>::share(owner)) {}

void OxDefaultMaterialEffect::setAmbientColor(const OxColor4& rgba) { std::copy_n(rgba, 4, ambient_); }

void OxDefaultMaterialEffect::setDiffuseColor(const OxColor4& rgba) { std::copy_n(rgba, 4, diffuse_); }

}  // namespace Orvex::Graphics
