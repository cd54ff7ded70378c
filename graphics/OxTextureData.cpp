#include "graphics/OxTextureData.h"

#include <typeinfo>

#include "graphics/OxConstantTextureData.h"
#include "graphics/OxRenderTargetTextureData.h"
#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

OxTextureData::OxTextureData(OxRenderer* renderer, uint32_t type, std::shared_ptr<OxDXTexture> texture)
    : renderer_(OxRefPtr<OxRenderer>::share(renderer)), texture_(std::move(texture)), type_(type) {}

OxTextureData::~OxTextureData() {
    texture_.reset();  // before the renderer it is registered with
}

OxTextureData* textureDataOf(IOrvexTexture* texture) {
    IOrvexTextureData* data = texture != nullptr ? texture->getData() : nullptr;
    if (data == nullptr) {
        return nullptr;
    }
    // The two kinds this library makes are recognised by the address of their type information
    // (one object per type within the library): a dynamic_cast walks the class tree and compares
    // type names as strings on every step that does not match, on every draw. Anything else takes
    // the dynamic_cast.
    const std::type_info* type = &typeid(*data);
    if (type == &typeid(OxConstantTextureData) || type == &typeid(OxRenderTargetTextureData)) {
        return static_cast<OxTextureData*>(data);
    }
    return dynamic_cast<OxTextureData*>(data);
}

}  // namespace Orvex::Graphics
