#pragma once
// A material's colours and culling: all colour values 1.0 and clockwise culling at first.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexMaterialEffect.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxDefaultMaterialEffect final : public OxRefCounted<IOrvexDefaultMaterialEffect> {
public:
    // The owner is retained for the effect's lifetime (it may be null).
    explicit OxDefaultMaterialEffect(System::IOrvexRefCountObject* owner);

    uint32_t getType() const override { return 0; }
    void setAmbientColor(const OxColor4& rgba) override;
    const OxColor4& getAmbientColor() const override { return ambient_; }
    void setDiffuseColor(const OxColor4& rgba) override;
    const OxColor4& getDiffuseColor() const override { return diffuse_; }
    void setCullingType(uint32_t type) override { culling_ = type; }
    uint32_t getCullingType() const override { return culling_; }

private:
    ~OxDefaultMaterialEffect() override = default;

    OxRefPtr<System::IOrvexRefCountObject> owner_;
    OxColor4 ambient_ = {1, 1, 1, 1};
    OxColor4 diffuse_ = {1, 1, 1, 1};
    uint32_t culling_ = 1;
};

}  // namespace Orvex::Graphics
