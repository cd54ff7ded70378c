#pragma once
// Material effects of the 3-D half: the colours and face culling a material is drawn with.
#include <cstdint>

#include "graphics/include/IOrvexRefCountObject.h"

namespace Orvex::Graphics {

class IOrvexMaterialEffect : public System::IOrvexRefCountObject {
public:
    virtual uint32_t getType() const = 0;

protected:
    virtual ~IOrvexMaterialEffect() = default;
};

// Colours are r, g, b, a. Culling types: 0 none, 1 clockwise, 2 counter-clockwise.
using OxColor4 = float[4];

class IOrvexDefaultMaterialEffect : public IOrvexMaterialEffect {
public:
    virtual void setAmbientColor(const OxColor4& rgba) = 0;
    virtual const OxColor4& getAmbientColor() const = 0;
    virtual void setDiffuseColor(const OxColor4& rgba) = 0;
    virtual const OxColor4& getDiffuseColor() const = 0;
    virtual void setCullingType(uint32_t type) = 0;
    virtual uint32_t getCullingType() const = 0;

protected:
    ~IOrvexDefaultMaterialEffect() override = default;
};

}  // namespace Orvex::Graphics
