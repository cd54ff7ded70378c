#pragma once
// Texture data of a render target (type 1); never cached.
#include "graphics/OxTextureData.h"

namespace Orvex::Graphics {

class OxRenderTargetTextureData : public OxTextureData {
public:
    OxRenderTargetTextureData(OxRenderer* renderer, std::shared_ptr<OxDXTexture> texture)
        : OxTextureData(renderer, 1, std::move(texture)) {}
};

}  // namespace Orvex::Graphics
