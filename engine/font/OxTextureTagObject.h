#pragma once
// An inline icon of the text mark-up: a texture (one reference held per copy) and an optional
// source rectangle (left, top, right, bottom) in texels.
#include <array>
#include <memory>

#include "graphics/include/IOrvexTexture.h"

namespace Orvex::FontLib {

class OxTextureTagObject {
public:
    using SourceRect = std::array<float, 4>;

    OxTextureTagObject() = default;
    OxTextureTagObject(Graphics::IOrvexTexture* texture, std::shared_ptr<SourceRect> sourceRect)
        : texture_(texture), sourceRect_(std::move(sourceRect)) {
        if (texture_ != nullptr) {
            texture_->retain();
        }
    }
    OxTextureTagObject(const OxTextureTagObject& other) : OxTextureTagObject(other.texture_, other.sourceRect_) {}
    OxTextureTagObject& operator=(const OxTextureTagObject& other) {
        OxTextureTagObject copy(other);
        std::swap(texture_, copy.texture_);
        std::swap(sourceRect_, copy.sourceRect_);
        return *this;
    }
    ~OxTextureTagObject() {
        if (texture_ != nullptr) {
            texture_->release();
        }
    }

    Graphics::IOrvexTexture* getTexture() const { return texture_; }
    const std::shared_ptr<SourceRect>& getSourceRect() const { return sourceRect_; }

private:
    Graphics::IOrvexTexture* texture_ = nullptr;
    std::shared_ptr<SourceRect> sourceRect_;
};

}  // namespace Orvex::FontLib
