#pragma once
// An inline icon of the text mark-up: a texture (one reference held per copy) and an optional
// source rectangle (left, top, right, bottom) in texels.
#include <array>
#include <memory>

#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::FontLib {

class OxTextureTagObject {
public:
    using SourceRect = std::array<float, 4>;

    OxTextureTagObject() = default;
    OxTextureTagObject(Graphics::IOrvexTexture* texture, std::shared_ptr<SourceRect> sourceRect)
        : texture_(Graphics::OxRefPtr<Graphics::IOrvexTexture>::share(texture)), sourceRect_(std::move(sourceRect)) {}

    Graphics::IOrvexTexture* getTexture() const { return texture_.get(); }
    const std::shared_ptr<SourceRect>& getSourceRect() const { return sourceRect_; }

private:
    Graphics::OxRefPtr<Graphics::IOrvexTexture> texture_;
    std::shared_ptr<SourceRect> sourceRect_;
};

}  // namespace Orvex::FontLib
