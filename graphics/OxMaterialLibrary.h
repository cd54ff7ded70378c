#pragma once
// The materials of a geometry, in the order of the model's meshes and their materials.
#include <vector>

#include "graphics/OxMaterial.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGeometry.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxMaterialLibrary final : public OxRefCounted<IOrvexMaterialLibrary> {
public:
    uint32_t getMaterialCount() const override { return uint32_t(materials_.size()); }
    IOrvexMaterial* getMaterial(uint32_t index) override { return material(index); }
    OxMaterial* material(uint32_t index) const { return index < materials_.size() ? materials_[index].get() : nullptr; }
    void add(OxRefPtr<OxMaterial> material) { materials_.push_back(std::move(material)); }

private:
    ~OxMaterialLibrary() override = default;

    std::vector<OxRefPtr<OxMaterial>> materials_;
};

}  // namespace Orvex::Graphics
