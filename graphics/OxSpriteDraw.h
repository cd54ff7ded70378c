#pragma once
// Draws textured and filled rectangles as immediate quads of pre-transformed vertices. Device
// blend states are sent only when a mode changes between draws; `begin` re-applies both modes.
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "platform/gpu/GpuDevice.h"

namespace Orvex::Graphics {

class OxRenderer;

class OxSpriteDraw : public OxRefCounted<IOrvexSpriteDraw> {
public:
    OxSpriteDraw(OxRenderer* renderer, Platform::Gpu::GpuDevice* device);

    int32_t begin() override;
    int32_t end() override;
    void resetStates() override;
    void setTextureBlendMode(uint32_t mode) override { textureBlendMode_ = mode; }
    uint32_t getTextureBlendMode() const override { return textureBlendMode_; }
    void setDiffuseBlendMode(uint32_t mode) override { diffuseBlendMode_ = mode; }
    uint32_t getDiffuseBlendMode() const override { return diffuseBlendMode_; }
    void setDiffuseColor(float r, float g, float b, float a) override;
    void getDiffuseColor(float out[4]) const override;
    int32_t drawFill(const float color[4], const OxRect* destination) override;
    int32_t draw(IOrvexTexture* texture, const OxRect* destination, const OxRect* source) override;
    int32_t drawCenterRotationZ(IOrvexTexture* texture, const OxRect* destination, const OxRect* source,
                                float angle) override;

    // trunc(c x 255) of each channel, low 8 bits, as 0xAARRGGBB.
    static uint32_t packColor(float r, float g, float b, float a);

protected:
    ~OxSpriteDraw() override = default;

private:
    void applyModes(uint32_t textureMode, uint32_t diffuseMode);
    void prepareTextured(IOrvexTexture* texture, const OxRect* destination, const OxRect* source);
    void submitTextured(IOrvexTexture* texture);

    OxRenderer* renderer_;
    Platform::Gpu::GpuDevice* device_;
    bool begun_ = false;
    uint32_t textureBlendMode_ = 2;
    uint32_t appliedTextureBlendMode_ = 0;
    uint32_t diffuseBlendMode_ = 1;
    uint32_t appliedDiffuseBlendMode_ = 0;
    float diffuse_[4] = {1, 1, 1, 1};
    uint32_t packedDiffuse_ = 0xFFFFFFFFu;  // diffuse_ as the vertices carry it
    Platform::Gpu::ColorVertex fillVertices_[4];
    Platform::Gpu::TexturedVertex texturedVertices_[4];
};

}  // namespace Orvex::Graphics
