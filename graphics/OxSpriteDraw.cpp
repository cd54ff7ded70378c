#include "graphics/OxSpriteDraw.h"

#include <cmath>

#include "graphics/OxRenderer.h"
#include "graphics/OxTextureData.h"
#include "platform/kernel/DebugOutput.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;

namespace {

uint32_t packChannel(float c) {
    const double scaled = std::trunc(double(c) * 255.0);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18) {
        return 0;  // no meaningful low byte
    }
    return uint32_t(int64_t(scaled)) & 0xFFu;
}

}  // namespace

OxSpriteDraw::OxSpriteDraw(OxRenderer* renderer, GpuDevice* device) : renderer_(renderer), device_(device) {
    for (auto& v : fillVertices_) {
        v = ColorVertex{0, 0, 0, 1, 0};
    }
    for (auto& v : texturedVertices_) {
        v = TexturedVertex{0, 0, 0, 1, 0, 0, 0};
    }
}

uint32_t OxSpriteDraw::packColor(float r, float g, float b, float a) {
    return packChannel(a) << 24 | packChannel(r) << 16 | packChannel(g) << 8 | packChannel(b);
}

void OxSpriteDraw::setDiffuseColor(float r, float g, float b, float a) {
    diffuse_[0] = r;
    diffuse_[1] = g;
    diffuse_[2] = b;
    diffuse_[3] = a;
    packedDiffuse_ = packColor(r, g, b, a);
}

void OxSpriteDraw::getDiffuseColor(float out[4]) const {
    for (int i = 0; i < 4; ++i) {
        out[i] = diffuse_[i];
    }
}

void OxSpriteDraw::resetStates() {
    textureBlendMode_ = 2;
    diffuseBlendMode_ = 1;
    setDiffuseColor(1, 1, 1, 1);
}

void OxSpriteDraw::applyModes(uint32_t textureMode, uint32_t diffuseMode) {
    if (textureMode != appliedTextureBlendMode_) {
        switch (textureMode) {
            case 1:
                device_->setRenderState(RenderState::AlphaBlendEnable, 0);
                device_->setRenderState(RenderState::SrcBlend, kBlendOne);
                device_->setRenderState(RenderState::DestBlend, kBlendZero);
                break;
            case 2:
            case 3:
                device_->setRenderState(RenderState::AlphaBlendEnable, 1);
                device_->setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
                device_->setRenderState(RenderState::DestBlend, textureMode == 2 ? kBlendInvSrcAlpha : kBlendOne);
                device_->setTextureStageState(0, StageState::AlphaOp, kOpModulate);
                device_->setTextureStageState(0, StageState::AlphaArg1, kArgTexture);
                device_->setTextureStageState(0, StageState::AlphaArg2, kArgDiffuse);
                break;
            default:
                break;
        }
        appliedTextureBlendMode_ = textureMode;
    }
    if (diffuseMode != appliedDiffuseBlendMode_) {
        if (diffuseMode == 1 || diffuseMode == 2) {
            device_->setTextureStageState(0, StageState::ColorOp, diffuseMode == 1 ? kOpModulate : kOpAdd);
            device_->setTextureStageState(0, StageState::ColorArg1, kArgTexture);
            device_->setTextureStageState(0, StageState::ColorArg2, kArgDiffuse);
        }
        appliedDiffuseBlendMode_ = diffuseMode;
    }
}

int32_t OxSpriteDraw::begin() {
    if (begun_) {
        return kOxErrFailed;
    }
    if (device_->setRenderState(RenderState::ZEnable, 0) < 0 || device_->setVertexShader(nullptr) < 0) {
        return kOxOk;
    }
    device_->setRenderState(RenderState::CullMode, kCullNone);
    renderer_->setTextureFilter(0, kOxFilterLinear);
    begun_ = true;
    resetStates();
    appliedTextureBlendMode_ = 0;
    appliedDiffuseBlendMode_ = 0;
    applyModes(textureBlendMode_, diffuseBlendMode_);
    return kOxOk;
}

int32_t OxSpriteDraw::end() {
    if (begun_ && device_->setRenderState(RenderState::ZEnable, 1) >= 0) {
        begun_ = false;
    }
    return kOxOk;
}

void OxSpriteDraw::prepareTextured(IOrvexTexture* texture, const OxRect* destination, const OxRect* source) {
    const float w = float(texture->getWidth());
    const float h = float(texture->getHeight());
    const OxRect whole{0, 0, w, h};
    const OxRect& src = source != nullptr ? *source : whole;
    const OxRect& dst = destination != nullptr ? *destination : whole;
    const float uL = src.left / w, vT = src.top / h, uR = src.right / w, vB = src.bottom / h;
    const float L = dst.left - 0.5f, T = dst.top - 0.5f, R = dst.right - 0.5f, B = dst.bottom - 0.5f;
    const uint32_t color = packedDiffuse_;
    texturedVertices_[0] = {L, T, 0, 1, color, uL, vT};
    texturedVertices_[1] = {R, T, 0, 1, color, uR, vT};
    texturedVertices_[2] = {R, B, 0, 1, color, uR, vB};
    texturedVertices_[3] = {L, B, 0, 1, color, uL, vB};
}

void OxSpriteDraw::submitTextured(IOrvexTexture* texture) {
    applyModes(textureBlendMode_, diffuseBlendMode_);
    OxTextureData* data = textureDataOf(texture);
    GpuTexture* deviceTexture =
        data != nullptr && data->getDXTexture() != nullptr ? data->getDXTexture()->getTexture() : nullptr;
    device_->drawTexturedUp(deviceTexture, kFvfXyzRhw | kFvfDiffuse | kFvfTex1, kPrimitiveTriangleFan, 2,
                            texturedVertices_, sizeof(TexturedVertex));
}

int32_t OxSpriteDraw::draw(IOrvexTexture* texture, const OxRect* destination, const OxRect* source) {
    if (texture == nullptr) {
        return kOxErrInvalidArgument;
    }
    prepareTextured(texture, destination, source);
    submitTextured(texture);
    return kOxOk;
}

int32_t OxSpriteDraw::drawCenterRotationZ(IOrvexTexture* texture, const OxRect* destination, const OxRect* source,
                                          float angle) {
    if (texture == nullptr) {
        return kOxErrInvalidArgument;
    }
    prepareTextured(texture, destination, source);
    const float cx = (texturedVertices_[0].x + texturedVertices_[2].x) / 2;
    const float cy = (texturedVertices_[0].y + texturedVertices_[2].y) / 2;
    const float c = std::cos(angle), s = std::sin(angle);
    for (auto& v : texturedVertices_) {
        const float dx = v.x - cx, dy = v.y - cy;
        v.x = cx + c * dx - s * dy;
        v.y = cy + s * dx + c * dy;
    }
    submitTextured(texture);
    return kOxOk;
}

int32_t OxSpriteDraw::drawFill(const float color[4], const OxRect* destination) {
    if (color == nullptr) {
        return kOxErrInvalidArgument;
    }
    OxRect dst{0, 0, 128, 128};
    if (destination == nullptr) {
        Platform::Kernel::debugOutput(u"OxSpriteDraw::drawFill()");
    } else {
        dst = *destination;
    }
    const uint32_t packed = packColor(color[0], color[1], color[2], color[3]);
    const float L = dst.left - 0.5f, T = dst.top - 0.5f, R = dst.right - 0.5f, B = dst.bottom - 0.5f;
    fillVertices_[0] = {L, T, 0, 1, packed};
    fillVertices_[1] = {R, T, 0, 1, packed};
    fillVertices_[2] = {R, B, 0, 1, packed};
    fillVertices_[3] = {L, B, 0, 1, packed};
    applyModes(2, diffuseBlendMode_);
    if (device_->drawTexturedUp(nullptr, kFvfXyzRhw | kFvfDiffuse, kPrimitiveTriangleFan, 2, fillVertices_,
                                sizeof(ColorVertex)) < 0) {
        return kOxErrFailed;
    }
    return kOxOk;
}

}  // namespace Orvex::Graphics
