#pragma once
// Textured and filled rectangles in screen pixels.
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxGraphicsTypes.h"

namespace Orvex::Graphics {

namespace OxTextureBlendModes {
enum eTextureBlendMode : uint32_t { kOpaque = 1, kAlphaBlend = 2, kAdditive = 3 };
}
namespace OxDiffuseBlendModes {
enum eDiffuseBlendMode : uint32_t { kModulate = 1, kAdd = 2 };
}

class IOrvexSpriteDraw : public System::IOrvexRefCountObject {
public:
    virtual int32_t begin() = 0;
    virtual int32_t end() = 0;
    virtual void resetStates() = 0;
    virtual void setTextureBlendMode(uint32_t mode) = 0;
    virtual uint32_t getTextureBlendMode() const = 0;
    virtual void setDiffuseBlendMode(uint32_t mode) = 0;
    virtual uint32_t getDiffuseBlendMode() const = 0;
    virtual void setDiffuseColor(float r, float g, float b, float a) = 0;
    virtual void getDiffuseColor(float out[4]) const = 0;
    virtual int32_t drawFill(const float color[4], const OxRect* destination) = 0;
    virtual int32_t draw(IOrvexTexture* texture, const OxRect* destination, const OxRect* source) = 0;
    virtual int32_t drawCenterRotationZ(IOrvexTexture* texture, const OxRect* destination, const OxRect* source,
                                        float angle) = 0;

protected:
    virtual ~IOrvexSpriteDraw() = default;
};

}  // namespace Orvex::Graphics
