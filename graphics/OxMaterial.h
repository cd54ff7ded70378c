#pragma once
// A material of a geometry's library: a name, its colours and culling (the default effect) and
// the .x material it was made from.
#include <string>

#include "graphics/OxDefaultMaterialEffect.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxMaterial final : public OxRefCounted<IOrvexMaterial> {
public:
    // The source is borrowed (it lives in the hierarchy's mesh containers).
    OxMaterial(IOrvexGraphics* graphics, const Platform::Gpu::Material* source);

    void setName(const std::u16string& name) override { name_ = name; }
    const std::u16string& getName() const override { return name_; }
    IOrvexDefaultMaterialEffect* getEffect() override { return effect_.get(); }
    System::IOrvexRefCountObject* getObject() override { return object_.get(); }
    const Platform::Gpu::Material* source() const { return source_; }

private:
    ~OxMaterial() override = default;

    OxRefPtr<IOrvexGraphics> graphics_;
    std::u16string name_;
    OxRefPtr<OxDefaultMaterialEffect> effect_;
    OxRefPtr<System::IOrvexRefCountObject> object_;  // never set here
    const Platform::Gpu::Material* source_;
};

}  // namespace Orvex::Graphics
