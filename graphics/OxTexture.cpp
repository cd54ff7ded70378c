#include "graphics/OxTexture.h"

namespace Orvex::Graphics {

OxTexture::OxTexture(IOrvexTextureManager* manager) : manager_(OxRefPtr<IOrvexTextureManager>::share(manager)) {}

// The data goes before the manager (the members' reverse order).
OxTexture::~OxTexture() = default;

int32_t OxTexture::setData(IOrvexTextureData* data) {
    data_ = OxRefPtr<IOrvexTextureData>::share(data);
    return 0;
}

}  // namespace Orvex::Graphics
