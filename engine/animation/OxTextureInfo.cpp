#include "engine/animation/OxTextureInfo.h"

#include <utility>

namespace Orvex::MossbellLib {

OxTextureInfo::OxTextureInfo(Graphics::IOrvexTexture* texture, std::u16string fileName)
    : fileName_(std::move(fileName)) {
    setTexture(texture);
}

OxTextureInfo::~OxTextureInfo() { setTexture(nullptr); }

void OxTextureInfo::setTexture(Graphics::IOrvexTexture* texture) {
    if (texture != nullptr) {
        texture->retain();
    }
    if (texture_ != nullptr) {
        texture_->release();
    }
    texture_ = texture;
}

Graphics::IOrvexTexture* OxTextureInfo::getTexture() const {
    if (texture_ != nullptr) {
        texture_->retain();
    }
    return texture_;
}

}  // namespace Orvex::MossbellLib
