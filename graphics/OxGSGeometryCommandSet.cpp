#include "graphics/OxGSGeometryCommandSet.h"

namespace Orvex::Graphics {

OxGSGeometryCommandSet::OxGSGeometryCommandSet(IOxMaterialEffectSource& materials) : materials_(materials) {
    addCommand("SetMaterialAmbientColor", [this](const Arguments& a) { setColor(a, true); });
    addCommand("SetMaterialDiffuseColor", [this](const Arguments& a) { setColor(a, false); });
    addCommand("SetMaterialCullingType", [this](const Arguments& a) { setCullingType(a); });
}

IOrvexDefaultMaterialEffect* OxGSGeometryCommandSet::target(const Arguments& arguments, size_t count) {
    if (arguments.size() < count) {
        return nullptr;
    }
    for (size_t i = 0; i < count; ++i) {
        if (arguments[i].kind != OxOCSToken::Kind::Unsigned) {
            return nullptr;
        }
    }
    return materials_.getMaterialEffect(std::get<uint32_t>(arguments[0].value));
}

void OxGSGeometryCommandSet::setColor(const Arguments& arguments, bool ambient) {
    IOrvexDefaultMaterialEffect* effect = target(arguments, 5);
    if (!effect) {
        return;
    }
    // Not clamped: 510 gives 2.0.
    OxColor4 rgba;
    for (int i = 0; i < 4; ++i) {
        rgba[i] = static_cast<float>(std::get<uint32_t>(arguments[i + 1].value)) / 255.0f;
    }
    if (ambient) {
        effect->setAmbientColor(rgba);
    } else {
        effect->setDiffuseColor(rgba);
    }
}

void OxGSGeometryCommandSet::setCullingType(const Arguments& arguments) {
    IOrvexDefaultMaterialEffect* effect = target(arguments, 2);
    const uint32_t type = effect ? std::get<uint32_t>(arguments[1].value) : 0;
    if (effect && type <= 2) {
        effect->setCullingType(type);
    }
}

}  // namespace Orvex::Graphics
