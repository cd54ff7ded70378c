#pragma once
// The texture handle a caller owns: the manager and the shared data, both retained.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxTexture : public OxRefCounted<IOrvexTexture> {
public:
    explicit OxTexture(IOrvexTextureManager* manager);

    int32_t setData(IOrvexTextureData* data) override;
    IOrvexTextureData* getData() override { return data_.get(); }
    uint32_t getWidth() const override { return data_ != nullptr ? data_->getWidth() : 0; }
    uint32_t getHeight() const override { return data_ != nullptr ? data_->getHeight() : 0; }
    const char16_t* getName() const override { return data_ != nullptr ? data_->getName().c_str() : nullptr; }

protected:
    ~OxTexture() override;

private:
    OxRefPtr<IOrvexTextureManager> manager_;
    OxRefPtr<IOrvexTextureData> data_;
};

}  // namespace Orvex::Graphics
