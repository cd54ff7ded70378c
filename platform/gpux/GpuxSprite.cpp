#include "platform/gpux/GpuxSprite.h"

#include <array>
#include <cmath>

namespace Platform::Gpux {

using namespace Gpu;

namespace {

constexpr RenderState kSavedRenderStates[] = {
    RenderState::AlphaBlendEnable, RenderState::SrcBlend,  RenderState::DestBlend, RenderState::AlphaTestEnable,
    RenderState::AlphaRef,         RenderState::AlphaFunc, RenderState::CullMode,  RenderState::ZEnable,
    RenderState::ZWriteEnable,     RenderState::Lighting,  RenderState::FillMode,
};
constexpr StageState kSavedStageStates[] = {StageState::ColorOp, StageState::ColorArg1, StageState::ColorArg2,
                                            StageState::AlphaOp, StageState::AlphaArg1, StageState::AlphaArg2};
constexpr SamplerState kSavedSamplerStates[] = {SamplerState::AddressU, SamplerState::AddressV, SamplerState::MagFilter,
                                                SamplerState::MinFilter, SamplerState::MipFilter};

}  // namespace

struct GpuxSprite::SavedStates {
    std::array<uint32_t, std::size(kSavedRenderStates)> render{};
    std::array<uint32_t, std::size(kSavedStageStates)> stage{};
    std::array<uint32_t, std::size(kSavedSamplerStates)> sampler{};
    uint32_t fvf = 0;
    GpuTexture* texture = nullptr;  // one reference while saved
};

GpuxSprite::GpuxSprite(GpuDevice* device) : device_(device) { device_->addRef(); }

GpuxSprite::~GpuxSprite() {
    if (begun_) {
        end();
    }
    delete saved_;
    device_->release();
}

Result GpuxSprite::getDevice(GpuDevice** out) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    device_->addRef();
    *out = device_;
    return kOk;
}

void GpuxSprite::saveStates() {
    if (saved_ == nullptr) {
        saved_ = new SavedStates;
    }
    for (std::size_t i = 0; i < std::size(kSavedRenderStates); ++i) {
        device_->getRenderState(kSavedRenderStates[i], &saved_->render[i]);
    }
    for (std::size_t i = 0; i < std::size(kSavedStageStates); ++i) {
        device_->getTextureStageState(0, kSavedStageStates[i], &saved_->stage[i]);
    }
    for (std::size_t i = 0; i < std::size(kSavedSamplerStates); ++i) {
        device_->getSamplerState(0, kSavedSamplerStates[i], &saved_->sampler[i]);
    }
    device_->getFvf(&saved_->fvf);
    device_->getTexture(0, &saved_->texture);
}

void GpuxSprite::restoreStates() {
    for (std::size_t i = 0; i < std::size(kSavedRenderStates); ++i) {
        device_->setRenderState(kSavedRenderStates[i], saved_->render[i]);
    }
    for (std::size_t i = 0; i < std::size(kSavedStageStates); ++i) {
        device_->setTextureStageState(0, kSavedStageStates[i], saved_->stage[i]);
    }
    for (std::size_t i = 0; i < std::size(kSavedSamplerStates); ++i) {
        device_->setSamplerState(0, kSavedSamplerStates[i], saved_->sampler[i]);
    }
    device_->setFvf(saved_->fvf);
    device_->setTexture(0, saved_->texture);
    safeRelease(saved_->texture);
}

Result GpuxSprite::begin(uint32_t flags) {
    if (begun_) {
        return kErrInvalidCall;
    }
    saveStates();
    const bool blend = (flags & kSpriteAlphaBlend) != 0;
    device_->setRenderState(RenderState::AlphaBlendEnable, blend ? 1 : 0);
    device_->setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    device_->setRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    device_->setRenderState(RenderState::AlphaTestEnable, blend ? 1 : 0);
    device_->setRenderState(RenderState::AlphaRef, 0);
    device_->setRenderState(RenderState::AlphaFunc, kCmpGreater);
    device_->setRenderState(RenderState::CullMode, kCullNone);
    device_->setRenderState(RenderState::ZEnable, 0);
    device_->setRenderState(RenderState::ZWriteEnable, 0);
    device_->setRenderState(RenderState::Lighting, 0);
    device_->setRenderState(RenderState::FillMode, kFillSolid);
    device_->setTextureStageState(0, StageState::ColorOp, kOpModulate);
    device_->setTextureStageState(0, StageState::ColorArg1, kArgTexture);
    device_->setTextureStageState(0, StageState::ColorArg2, kArgDiffuse);
    device_->setTextureStageState(0, StageState::AlphaOp, kOpModulate);
    device_->setTextureStageState(0, StageState::AlphaArg1, kArgTexture);
    device_->setTextureStageState(0, StageState::AlphaArg2, kArgDiffuse);
    device_->setSamplerState(0, SamplerState::AddressU, kAddressWrap);
    device_->setSamplerState(0, SamplerState::AddressV, kAddressWrap);
    device_->setSamplerState(0, SamplerState::MagFilter, kFilterPoint);
    device_->setSamplerState(0, SamplerState::MinFilter, kFilterPoint);
    device_->setSamplerState(0, SamplerState::MipFilter, kFilterNone);
    device_->setFvf(kFvfXyzRhw | kFvfDiffuse | kFvfTex1);
    begun_ = true;
    return kOk;
}

Result GpuxSprite::end() {
    if (!begun_) {
        return kErrInvalidCall;
    }
    begun_ = false;
    restoreStates();
    return kOk;
}

Result GpuxSprite::draw(GpuTexture* texture, const IntRect* source, float x, float y, uint32_t argb) {
    if (!begun_ || texture == nullptr) {
        return kErrInvalidCall;
    }
    SurfaceDesc desc;
    texture->getLevelDesc(0, &desc);
    if (desc.width == 0 || desc.height == 0) {
        return kErrInvalidCall;
    }
    IntRect rect{0, 0, int32_t(desc.width), int32_t(desc.height)};
    if (source != nullptr) {
        rect = *source;
    }
    const float w = float(rect.right - rect.left);
    const float h = float(rect.bottom - rect.top);
    // Pixel centres sit on whole coordinates: shift by half a pixel so texels land 1:1.
    const float left = std::round(x) - 0.5f;
    const float top = std::round(y) - 0.5f;
    const float u0 = float(rect.left) / float(desc.width);
    const float v0 = float(rect.top) / float(desc.height);
    const float u1 = float(rect.right) / float(desc.width);
    const float v1 = float(rect.bottom) / float(desc.height);
    const TexturedVertex quad[4] = {
        {left, top, 0.0f, 1.0f, argb, u0, v0},
        {left + w, top, 0.0f, 1.0f, argb, u1, v0},
        {left + w, top + h, 0.0f, 1.0f, argb, u1, v1},
        {left, top + h, 0.0f, 1.0f, argb, u0, v1},
    };
    device_->setTexture(0, texture);
    return device_->drawPrimitiveUp(kPrimitiveTriangleFan, 2, quad, sizeof(TexturedVertex));
}

Result createSprite(GpuDevice* device, GpuxSprite** out) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = nullptr;
    if (device == nullptr) {
        return kErrInvalidCall;
    }
    *out = new GpuxSprite(device);
    return kOk;
}

}  // namespace Platform::Gpux
