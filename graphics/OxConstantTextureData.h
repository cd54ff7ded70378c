#pragma once
// Texture data loaded from an image (type 0).
#include "graphics/OxTextureData.h"

namespace Orvex::Graphics {

class OxConstantTextureData : public OxTextureData {
public:
    OxConstantTextureData(OxRenderer* renderer, std::shared_ptr<OxDXTexture> texture)
        : OxTextureData(renderer, 0, std::move(texture)) {}
};

}  // namespace Orvex::Graphics
