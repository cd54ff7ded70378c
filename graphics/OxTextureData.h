#pragma once
// The layout both kinds of texture data share: the renderer, a name and the device texture.
#include <memory>

#include "graphics/OxDXTexture.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxRenderer;

class OxTextureData : public OxRefCounted<IOrvexTextureData> {
public:
    OxTextureData(OxRenderer* renderer, uint32_t type, std::shared_ptr<OxDXTexture> texture);

    uint32_t getType() const override { return type_; }
    uint32_t getWidth() const override { return texture_ ? texture_->getWidth() : 0; }
    uint32_t getHeight() const override { return texture_ ? texture_->getHeight() : 0; }
    void setName(const std::u16string& name) override { name_ = name; }
    const std::u16string& getName() const override { return name_; }

    OxDXTexture* getDXTexture() const { return texture_.get(); }

protected:
    ~OxTextureData() override;

private:
    OxRefPtr<OxRenderer> renderer_;
    std::u16string name_;
    std::shared_ptr<OxDXTexture> texture_;
    uint32_t type_;
};

// The data of a texture, or null when the handle has none or was not made by this library.
OxTextureData* textureDataOf(IOrvexTexture* texture);

}  // namespace Orvex::Graphics
