#include "graphics/OxTextureData.h"

#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

OxTextureData::OxTextureData(OxRenderer* renderer, uint32_t type, std::shared_ptr<OxDXTexture> texture)
    : renderer_(OxRefPtr<OxRenderer>::share(renderer)), texture_(std::move(texture)), type_(type) {}

OxTextureData::~OxTextureData() {
    texture_.reset();  // before the renderer it is registered with
}

OxTextureData* textureDataOf(IOrvexTexture* texture) {
    return texture != nullptr ? dynamic_cast<OxTextureData*>(texture->getData()) : nullptr;
}

}  // namespace Orvex::Graphics
