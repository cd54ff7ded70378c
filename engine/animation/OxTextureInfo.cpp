#include "engine/animation/OxTextureInfo.h"

#include <utility>

namespace Orvex::MossbellLib {

OxTextureInfo::OxTextureInfo(Graphics::IOrvexTexture* texture, std::u16string fileName)
    : fileName_(std::move(fileName)) {
    setTexture(texture);
}

OxTextureInfo::~OxTextureInfo() = default;

void OxTextureInfo::setTexture(Graphics::IOrvexTexture* texture) {
    texture_ = Graphics::OxRefPtr<Graphics::IOrvexTexture>::share(texture);
}

Graphics::IOrvexTexture* OxTextureInfo::getTexture() const {
    return Graphics::OxRefPtr<Graphics::IOrvexTexture>(texture_).detach();
}

}  // namespace Orvex::MossbellLib
