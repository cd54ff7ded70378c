#include "platform/gpu/GpuDevice.h"
#include "platform/gpu/GpuDeviceSupport.h"

namespace Platform::Gpu {

using namespace DeviceSupport;

namespace {

bool oneOf(uint32_t value, std::initializer_list<uint32_t> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

bool validRenderStateValue(RenderState state, uint32_t value) {
    switch (state) {
        case RenderState::SrcBlend:
        case RenderState::DestBlend:
            return oneOf(value, {kBlendZero, kBlendOne, kBlendSrcAlpha, kBlendInvSrcAlpha});
        case RenderState::AlphaFunc:
        case RenderState::ZFunc:
            return value >= kCmpNever && value <= kCmpAlways;
        case RenderState::CullMode:
            return value >= kCullNone && value <= kCullCounterClockwise;
        case RenderState::FillMode:
            return value == kFillSolid || value == kFillWireframe;
        case RenderState::ShadeMode:
            return value == kShadeFlat || value == kShadeGouraud;
        case RenderState::DiffuseMaterialSource:
        case RenderState::SpecularMaterialSource:
        case RenderState::AmbientMaterialSource:
        case RenderState::EmissiveMaterialSource:
            return value <= kMaterialSourceColor2;
        default:
            return true;
    }
}

bool validStageValue(uint32_t stage, StageState state, uint32_t value) {
    switch (state) {
        case StageState::ColorOp:
        case StageState::AlphaOp:
            // Only stage 0 is combined; later stages must stay disabled.
            return stage == 0 ? oneOf(value, {kOpDisable, kOpSelectArg1, kOpSelectArg2, kOpModulate, kOpAdd})
                              : value == kOpDisable;
        default:
            return oneOf(value, {kArgDiffuse, kArgCurrent, kArgTexture});
    }
}

bool validSamplerValue(SamplerState state, uint32_t value) {
    switch (state) {
        case SamplerState::AddressU:
        case SamplerState::AddressV:
            return value == kAddressWrap;
        case SamplerState::MipFilter:
            return value <= kFilterLinear;  // textures have a single level
        default:
            return value <= kFilterAnisotropic;
    }
}

// The value of one state of a stage or sampler, or null when either is out of range.
template <typename Table, typename State>
uint32_t* stateSlot(Table& table, uint32_t index, State state) {
    return index < table.size() && state < State::Count ? &table[index][size_t(state)] : nullptr;
}

Result store(uint32_t* slot, uint32_t value) {
    *slot = value;
    return kOk;
}

}  // namespace

GpuDevice::States GpuDevice::defaultStates() {
    States s;
    auto set = [&s](RenderState state, uint32_t value) { s.render[size_t(state)] = value; };
    set(RenderState::ZEnable, 0);
    set(RenderState::ZWriteEnable, 1);
    set(RenderState::ZFunc, kCmpLessEqual);
    set(RenderState::FillMode, kFillSolid);
    set(RenderState::ShadeMode, kShadeGouraud);
    set(RenderState::CullMode, kCullCounterClockwise);
    set(RenderState::AlphaTestEnable, 0);
    set(RenderState::AlphaRef, 0);
    set(RenderState::AlphaFunc, kCmpAlways);
    set(RenderState::AlphaBlendEnable, 0);
    set(RenderState::SrcBlend, kBlendOne);
    set(RenderState::DestBlend, kBlendZero);
    set(RenderState::Lighting, 1);
    set(RenderState::ColorVertex, 1);
    set(RenderState::DiffuseMaterialSource, kMaterialSourceColor1);
    set(RenderState::SpecularMaterialSource, kMaterialSourceColor2);
    set(RenderState::AmbientMaterialSource, kMaterialSourceMaterial);
    set(RenderState::EmissiveMaterialSource, kMaterialSourceMaterial);
    for (uint32_t i = 0; i < kStageCount; ++i) {
        auto& st = s.stage[i];
        st[size_t(StageState::ColorOp)] = i == 0 ? kOpModulate : kOpDisable;
        st[size_t(StageState::ColorArg1)] = kArgTexture;
        st[size_t(StageState::ColorArg2)] = kArgCurrent;
        st[size_t(StageState::AlphaOp)] = i == 0 ? kOpSelectArg1 : kOpDisable;
        st[size_t(StageState::AlphaArg1)] = kArgTexture;
        st[size_t(StageState::AlphaArg2)] = kArgCurrent;
    }
    for (auto& sampler : s.sampler) {
        sampler[size_t(SamplerState::AddressU)] = kAddressWrap;
        sampler[size_t(SamplerState::AddressV)] = kAddressWrap;
        sampler[size_t(SamplerState::MagFilter)] = kFilterPoint;
        sampler[size_t(SamplerState::MinFilter)] = kFilterPoint;
        sampler[size_t(SamplerState::MipFilter)] = kFilterNone;
    }
    return s;
}

void GpuDevice::resetStateToDefaults() {
    states_ = defaultStates();
    // The depth test is on by default when the device has a depth buffer.
    states_.render[size_t(RenderState::ZEnable)] = parameters_.enableAutoDepthStencil ? 1 : 0;
    releaseBindings();
    bind(renderTarget_, backBuffer_);
    setViewportToTarget();
}

Result GpuDevice::setRenderState(RenderState state, uint32_t value) {
    Lock lock(mutex_);
    if (state >= RenderState::Count || !validRenderStateValue(state, value)) {
        return kErrInvalidCall;
    }
    states_.render[size_t(state)] = value;
    return kOk;
}

Result GpuDevice::getRenderState(RenderState state, uint32_t* out) {
    Lock lock(mutex_);
    return state < RenderState::Count ? copyOut(out, states_.render[size_t(state)]) : kErrInvalidCall;
}

Result GpuDevice::setTextureStageState(uint32_t stage, StageState state, uint32_t value) {
    Lock lock(mutex_);
    uint32_t* slot = stateSlot(states_.stage, stage, state);
    return slot != nullptr && validStageValue(stage, state, value) ? store(slot, value) : kErrInvalidCall;
}

Result GpuDevice::getTextureStageState(uint32_t stage, StageState state, uint32_t* out) {
    Lock lock(mutex_);
    const uint32_t* slot = stateSlot(states_.stage, stage, state);
    return slot != nullptr ? copyOut(out, *slot) : kErrInvalidCall;
}

Result GpuDevice::setSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
    Lock lock(mutex_);
    uint32_t* slot = stateSlot(states_.sampler, sampler, state);
    return slot != nullptr && validSamplerValue(state, value) ? store(slot, value) : kErrInvalidCall;
}

Result GpuDevice::getSamplerState(uint32_t sampler, SamplerState state, uint32_t* out) {
    Lock lock(mutex_);
    const uint32_t* slot = stateSlot(states_.sampler, sampler, state);
    return slot != nullptr ? copyOut(out, *slot) : kErrInvalidCall;
}

Result GpuDevice::setTexture(uint32_t stage, GpuTexture* texture) {
    Lock lock(mutex_);
    if (stage >= kStageCount) {
        return kErrInvalidCall;
    }
    bind(textures_[stage], texture);
    return kOk;
}

Result GpuDevice::getTexture(uint32_t stage, GpuTexture** out) {
    Lock lock(mutex_);
    if (stage >= kStageCount || out == nullptr) {
        return kErrInvalidCall;
    }
    handOut(textures_[stage], out);
    return kOk;
}

Result GpuDevice::setFvf(uint32_t fvf) {
    Lock lock(mutex_);
    states_.fvf = fvf;
    return kOk;
}

Result GpuDevice::getFvf(uint32_t* out) {
    Lock lock(mutex_);
    return copyOut(out, states_.fvf);
}

Result GpuDevice::setVertexShader(const void* shader) { return shader == nullptr ? kOk : kErrInvalidCall; }

Result GpuDevice::setPixelShader(const void* shader) { return shader == nullptr ? kOk : kErrInvalidCall; }

Result GpuDevice::setTransform(uint32_t which, const Matrix* matrix) {
    Lock lock(mutex_);
    return copyIn(matrix, [&]() -> Matrix& { return states_.transforms[which]; });
}

Result GpuDevice::getTransform(uint32_t which, Matrix* out) {
    Lock lock(mutex_);
    auto it = states_.transforms.find(which);
    return copyOut(out, it == states_.transforms.end() ? Matrix::identity() : it->second);
}

Result GpuDevice::setLight(uint32_t index, const Light* light) {
    Lock lock(mutex_);
    return copyIn(light, [&]() -> Light& { return states_.lights[index]; });
}

Result GpuDevice::getLight(uint32_t index, Light* out) {
    Lock lock(mutex_);
    auto it = states_.lights.find(index);
    return it == states_.lights.end() ? kErrInvalidCall : copyOut(out, it->second);
}

Result GpuDevice::lightEnable(uint32_t index, bool enable) {
    Lock lock(mutex_);
    if (states_.lights.find(index) == states_.lights.end()) {
        states_.lights[index] = Light{};  // enabling an unset light gives it the default light
    }
    states_.lightEnabled[index] = enable;
    return kOk;
}

Result GpuDevice::getLightEnable(uint32_t index, bool* out) {
    Lock lock(mutex_);
    if (states_.lights.find(index) == states_.lights.end()) {
        return kErrInvalidCall;
    }
    auto it = states_.lightEnabled.find(index);
    return copyOut(out, it != states_.lightEnabled.end() && it->second);
}

Result GpuDevice::setMaterial(const Material* material) {
    Lock lock(mutex_);
    return copyIn(material, [&]() -> Material& { return states_.material; });
}

Result GpuDevice::getMaterial(Material* out) {
    Lock lock(mutex_);
    return copyOut(out, states_.material);
}

}  // namespace Platform::Gpu
