#include "graphics/OxTexture.h"

namespace Orvex::Graphics {

OxTexture::OxTexture(IOrvexTextureManager* manager) : manager_(manager) { manager_->retain(); }

OxTexture::~OxTexture() {
    if (data_ != nullptr) {
        data_->release();
    }
    manager_->release();
}

int32_t OxTexture::setData(IOrvexTextureData* data) {
    if (data != nullptr) {
        data->retain();
    }
    if (data_ != nullptr) {
        data_->release();
    }
    data_ = data;
    return 0;
}

}  // namespace Orvex::Graphics
