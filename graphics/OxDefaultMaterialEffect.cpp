#include "graphics/OxDefaultMaterialEffect.h"

#include <algorithm>

namespace Orvex::Graphics {

OxDefaultMaterialEffect::OxDefaultMaterialEffect(System::IOrvexRefCountObject* owner) : owner_(owner) {
    if (owner_) {
        owner_->retain();
    }
}

OxDefaultMaterialEffect::~OxDefaultMaterialEffect() {
    if (owner_) {
        owner_->release();
    }
}

void OxDefaultMaterialEffect::setAmbientColor(const OxColor4& rgba) { std::copy_n(rgba, 4, ambient_); }

void OxDefaultMaterialEffect::setDiffuseColor(const OxColor4& rgba) { std::copy_n(rgba, 4, diffuse_); }

}  // namespace Orvex::Graphics
