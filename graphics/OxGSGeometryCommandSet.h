#pragma once
// The material commands of a model's script: "SetMaterialAmbientColor", "SetMaterialDiffuseColor"
// and "SetMaterialCullingType", each taking a material index first.
#include <cstdint>

#include "graphics/OxGSCommandSet.h"
#include "graphics/include/IOrvexMaterialEffect.h"

namespace Orvex::Graphics {

// What the commands act on: the effect of the geometry's material at an index (counted over the
// materials of all its meshes, in load order), or null when the index is out of range.
class IOxMaterialEffectSource {
public:
    virtual IOrvexDefaultMaterialEffect* getMaterialEffect(uint32_t index) = 0;

protected:
    ~IOxMaterialEffectSource() = default;
};

class OxGSGeometryCommandSet final : public OxGSCommandSet {
public:
    // The source is not retained and must outlive the set.
    explicit OxGSGeometryCommandSet(IOxMaterialEffectSource& materials);

private:
    void setColor(const Arguments& arguments, bool ambient);
    void setCullingType(const Arguments& arguments);
    // The effect named by the first argument, when the statement has `count` unsigned arguments.
    IOrvexDefaultMaterialEffect* target(const Arguments& arguments, size_t count);

    IOxMaterialEffectSource& materials_;
};

}  // namespace Orvex::Graphics
