#include "platform/gpu/GpuDevice.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Platform::Gpu {
namespace {

constexpr uint32_t kMaxTextureSize = 8192;

using Lock = std::lock_guard<std::recursive_mutex>;

IntRect intersect(const IntRect& a, const IntRect& b) {
    IntRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        return IntRect{};
    }
    return r;
}

IntRect wholeImage(const PixelImage& image) { return IntRect{0, 0, int32_t(image.width), int32_t(image.height)}; }

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
            return value == kFillSolid;  // point and wire-frame drawing belong to the 3-D half
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

}  // namespace

// The focus window and behaviour flags change nothing here: frames go to the mailbox (and the
// sink), and all vertex work is done in software anyway.
GpuDevice::GpuDevice(WindowHandle /*focusWindow*/, uint32_t /*behaviourFlags*/, const PresentParameters& parameters)
    : parameters_(parameters), mailbox_(std::make_shared<FrameMailbox>()) {
    createBackBuffer();
    resetStateToDefaults();
}

GpuDevice::~GpuDevice() {
    for (GpuTexture*& texture : textures_) {
        safeRelease(texture);
    }
    safeRelease(streamBuffer_);
    safeRelease(renderTarget_);
    safeRelease(backBuffer_);
}

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
    for (GpuTexture*& texture : textures_) {
        safeRelease(texture);
    }
    unbindStream();
    safeRelease(renderTarget_);
    backBuffer_->addRef();
    renderTarget_ = backBuffer_;
    setViewportToTarget();
}

void GpuDevice::createBackBuffer() {
    auto image =
        std::make_shared<PixelImage>(parameters_.backBufferWidth, parameters_.backBufferHeight, kFormatX8R8G8B8);
    backBuffer_ = new GpuSurface(std::move(image), kUsageRenderTarget, kPoolDefault);
}

void GpuDevice::setViewportToTarget() {
    const PixelImage& image = *renderTarget_->image();
    viewport_ = Viewport{0, 0, image.width, image.height, 0.0f, 1.0f};
    scissor_ = wholeImage(image);
}

Result GpuDevice::testCooperativeLevel() {
    Lock lock(mutex_);
    switch (loss_) {
        case LossState::Lost:
            return kErrDeviceLost;
        case LossState::NotReset:
            return kErrDeviceNotReset;
        default:
            return kOk;
    }
}

Result GpuDevice::reset(PresentParameters* parameters) {
    Lock lock(mutex_);
    if (parameters == nullptr || parameters->backBufferWidth == 0 || parameters->backBufferHeight == 0 ||
        parameters->backBufferWidth > kMaxTextureSize || parameters->backBufferHeight > kMaxTextureSize ||
        parameters->backBufferFormat != kFormatX8R8G8B8) {
        return kErrInvalidCall;
    }
    if (loss_ == LossState::Lost) {
        return kErrDeviceLost;
    }
    // Bindings are the device's own references, not the caller's: they go first.
    for (GpuTexture*& texture : textures_) {
        safeRelease(texture);
    }
    unbindStream();
    // Default-pool resources (textures, vertex buffers) that are still alive survive a reset here. The platform this
    // device stands in for refused the reset until they were all released, but the movie player
    // keeps its picture texture for the whole movie: a strict reset would fail at every attempt
    // and freeze the screen until the movie ended.
    parameters_ = *parameters;
    inScene_ = false;
    safeRelease(renderTarget_);
    safeRelease(backBuffer_);
    try {
        createBackBuffer();
    } catch (const std::bad_alloc&) {
        loss_ = LossState::NotReset;
        backBuffer_ =
            new GpuSurface(std::make_shared<PixelImage>(1, 1, kFormatX8R8G8B8), kUsageRenderTarget, kPoolDefault);
        renderTarget_ = backBuffer_;
        backBuffer_->addRef();
        setViewportToTarget();
        return kErrOutOfMemory;
    }
    resetStateToDefaults();
    loss_ = LossState::Operational;
    return kOk;
}

Result GpuDevice::present(const IntRect* source, const IntRect* destination, WindowHandle overrideWindow) {
    Lock lock(mutex_);
    if (loss_ != LossState::Operational) {
        return kErrDeviceLost;
    }
    if (inScene_) {
        return kErrInvalidCall;
    }
    const PixelImage& image = *backBuffer_->image();
    IntRect area = wholeImage(image);
    if (source != nullptr) {
        area = intersect(area, *source);
        if (area.right == 0) {
            return kErrInvalidCall;
        }
    }
    auto frame = std::make_shared<Frame>();
    frame->width = uint32_t(area.right - area.left);
    frame->height = uint32_t(area.bottom - area.top);
    frame->pixels.resize(size_t(frame->width) * frame->height);
    for (uint32_t y = 0; y < frame->height; ++y) {
        const uint32_t* from = image.row(uint32_t(area.top) + y) + area.left;
        uint32_t* to = frame->pixels.data() + size_t(y) * frame->width;
        for (uint32_t x = 0; x < frame->width; ++x) {
            to[x] = from[x] | 0xFF000000u;
        }
    }
    frame->sequence = ++frameSequence_;
    if (destination != nullptr) {
        frame->hasDestination = true;
        frame->destination = *destination;
    }
    frame->overrideWindow = overrideWindow;
    capture_.offer(*frame);
    if (sink_) {
        sink_(frame);
    }
    mailbox_->post(std::move(frame));
    return kOk;
}

Result GpuDevice::getPresentParameters(PresentParameters* out) {
    Lock lock(mutex_);
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = parameters_;
    return kOk;
}

Result GpuDevice::getBackBuffer(uint32_t swapChain, uint32_t index, GpuSurface** out) {
    Lock lock(mutex_);
    if (swapChain != 0 || index != 0 || out == nullptr) {
        return kErrInvalidCall;
    }
    backBuffer_->addRef();
    *out = backBuffer_;
    return kOk;
}

Result GpuDevice::getRenderTarget(uint32_t index, GpuSurface** out) {
    Lock lock(mutex_);
    if (index != 0 || out == nullptr) {
        return kErrInvalidCall;
    }
    renderTarget_->addRef();
    *out = renderTarget_;
    return kOk;
}

Result GpuDevice::setRenderTarget(uint32_t index, GpuSurface* surface) {
    Lock lock(mutex_);
    SurfaceDesc desc;
    if (index != 0 || surface == nullptr || surface->getDesc(&desc) < 0 || !(desc.usage & kUsageRenderTarget)) {
        return kErrInvalidCall;
    }
    surface->addRef();
    safeRelease(renderTarget_);
    renderTarget_ = surface;
    setViewportToTarget();  // a new target resets the viewport and the scissor rectangle
    return kOk;
}

Result GpuDevice::beginScene() {
    Lock lock(mutex_);
    if (inScene_) {
        return kErrInvalidCall;
    }
    inScene_ = true;
    return kOk;
}

Result GpuDevice::endScene() {
    Lock lock(mutex_);
    if (!inScene_) {
        return kErrInvalidCall;
    }
    inScene_ = false;
    return kOk;
}

IntRect GpuDevice::clearRect() {
    IntRect area = wholeImage(*renderTarget_->image());
    area = intersect(area, IntRect{int32_t(viewport_.x), int32_t(viewport_.y), int32_t(viewport_.x + viewport_.width),
                                   int32_t(viewport_.y + viewport_.height)});
    if (states_.render[size_t(RenderState::ScissorTestEnable)] != 0) {
        area = intersect(area, scissor_);
    }
    return area;
}

Result GpuDevice::clear(uint32_t rectCount, const IntRect* rects, uint32_t flags, uint32_t argb, float, uint32_t) {
    Lock lock(mutex_);
    if (flags == 0 || (flags & ~uint32_t(kClearTarget | kClearZBuffer | kClearStencil)) != 0 ||
        (rectCount > 0 && rects == nullptr)) {
        return kErrInvalidCall;
    }
    // The depth buffer is D16 without stencil; depth values are not kept until the 3-D half
    // draws with them, so clearing it has nothing to write.
    if ((flags & kClearStencil) != 0 || ((flags & kClearZBuffer) != 0 && !parameters_.enableAutoDepthStencil)) {
        return kErrInvalidCall;
    }
    if ((flags & kClearTarget) == 0) {
        return kOk;
    }
    const IntRect area = clearRect();
    PixelImage& target = *renderTarget_->image();
    if (rectCount == 0) {
        if (area.right > area.left) {
            Rasterizer::fill(target, area, argb);
        }
        return kOk;
    }
    for (uint32_t i = 0; i < rectCount; ++i) {
        const IntRect r = intersect(area, rects[i]);
        if (r.right > r.left) {
            Rasterizer::fill(target, r, argb);
        }
    }
    return kOk;
}

Result GpuDevice::setViewport(const Viewport* viewport) {
    Lock lock(mutex_);
    if (viewport == nullptr) {
        return kErrInvalidCall;
    }
    const PixelImage& image = *renderTarget_->image();
    if (uint64_t(viewport->x) + viewport->width > image.width ||
        uint64_t(viewport->y) + viewport->height > image.height || viewport->width == 0 || viewport->height == 0) {
        return kErrInvalidCall;
    }
    viewport_ = *viewport;
    return kOk;
}

Result GpuDevice::getViewport(Viewport* out) {
    Lock lock(mutex_);
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = viewport_;
    return kOk;
}

Result GpuDevice::setScissorRect(const IntRect* rect) {
    Lock lock(mutex_);
    if (rect == nullptr || rect->left > rect->right || rect->top > rect->bottom) {
        return kErrInvalidCall;
    }
    scissor_ = *rect;
    return kOk;
}

Result GpuDevice::getScissorRect(IntRect* out) {
    Lock lock(mutex_);
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = scissor_;
    return kOk;
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
    if (state >= RenderState::Count || out == nullptr) {
        return kErrInvalidCall;
    }
    *out = states_.render[size_t(state)];
    return kOk;
}

Result GpuDevice::setTextureStageState(uint32_t stage, StageState state, uint32_t value) {
    Lock lock(mutex_);
    if (stage >= kStageCount || state >= StageState::Count || !validStageValue(stage, state, value)) {
        return kErrInvalidCall;
    }
    states_.stage[stage][size_t(state)] = value;
    return kOk;
}

Result GpuDevice::getTextureStageState(uint32_t stage, StageState state, uint32_t* out) {
    Lock lock(mutex_);
    if (stage >= kStageCount || state >= StageState::Count || out == nullptr) {
        return kErrInvalidCall;
    }
    *out = states_.stage[stage][size_t(state)];
    return kOk;
}

Result GpuDevice::setSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
    Lock lock(mutex_);
    if (sampler >= kSamplerCount || state >= SamplerState::Count || !validSamplerValue(state, value)) {
        return kErrInvalidCall;
    }
    states_.sampler[sampler][size_t(state)] = value;
    return kOk;
}

Result GpuDevice::getSamplerState(uint32_t sampler, SamplerState state, uint32_t* out) {
    Lock lock(mutex_);
    if (sampler >= kSamplerCount || state >= SamplerState::Count || out == nullptr) {
        return kErrInvalidCall;
    }
    *out = states_.sampler[sampler][size_t(state)];
    return kOk;
}

Result GpuDevice::setTexture(uint32_t stage, GpuTexture* texture) {
    Lock lock(mutex_);
    if (stage >= kStageCount) {
        return kErrInvalidCall;
    }
    if (texture != nullptr) {
        texture->addRef();
    }
    safeRelease(textures_[stage]);
    textures_[stage] = texture;
    return kOk;
}

Result GpuDevice::getTexture(uint32_t stage, GpuTexture** out) {
    Lock lock(mutex_);
    if (stage >= kStageCount || out == nullptr) {
        return kErrInvalidCall;
    }
    if (textures_[stage] != nullptr) {
        textures_[stage]->addRef();
    }
    *out = textures_[stage];
    return kOk;
}

Result GpuDevice::setFvf(uint32_t fvf) {
    Lock lock(mutex_);
    states_.fvf = fvf;
    return kOk;
}

Result GpuDevice::getFvf(uint32_t* out) {
    Lock lock(mutex_);
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = states_.fvf;
    return kOk;
}

Result GpuDevice::setVertexShader(const void* shader) { return shader == nullptr ? kOk : kErrInvalidCall; }

Result GpuDevice::setPixelShader(const void* shader) { return shader == nullptr ? kOk : kErrInvalidCall; }

Result GpuDevice::setTransform(uint32_t which, const Matrix* matrix) {
    Lock lock(mutex_);
    if (matrix == nullptr) {
        return kErrInvalidCall;
    }
    states_.transforms[which] = *matrix;
    return kOk;
}

Result GpuDevice::getTransform(uint32_t which, Matrix* out) {
    Lock lock(mutex_);
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    auto it = states_.transforms.find(which);
    *out = it == states_.transforms.end() ? Matrix::identity() : it->second;
    return kOk;
}

Result GpuDevice::setLight(uint32_t index, const Light* light) {
    Lock lock(mutex_);
    if (light == nullptr) {
        return kErrInvalidCall;
    }
    states_.lights[index] = *light;
    return kOk;
}

Result GpuDevice::getLight(uint32_t index, Light* out) {
    Lock lock(mutex_);
    auto it = states_.lights.find(index);
    if (out == nullptr || it == states_.lights.end()) {
        return kErrInvalidCall;
    }
    *out = it->second;
    return kOk;
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
    auto it = states_.lightEnabled.find(index);
    if (out == nullptr || states_.lights.find(index) == states_.lights.end()) {
        return kErrInvalidCall;
    }
    *out = it != states_.lightEnabled.end() && it->second;
    return kOk;
}

Result GpuDevice::setMaterial(const Material* material) {
    Lock lock(mutex_);
    if (material == nullptr) {
        return kErrInvalidCall;
    }
    states_.material = *material;
    return kOk;
}

Result GpuDevice::getMaterial(Material* out) {
    Lock lock(mutex_);
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = states_.material;
    return kOk;
}

PipelineState GpuDevice::pipeline() {
    PipelineState p;
    p.target = renderTarget_->image().get();
    IntRect clip = intersect(wholeImage(*p.target),
                             IntRect{int32_t(viewport_.x), int32_t(viewport_.y), int32_t(viewport_.x + viewport_.width),
                                     int32_t(viewport_.y + viewport_.height)});
    if (states_.render[size_t(RenderState::ScissorTestEnable)] != 0) {
        clip = intersect(clip, scissor_);
    }
    p.clip = clip;
    p.texture = textures_[0] != nullptr ? textures_[0]->image().get() : nullptr;
    const auto& sampler = states_.sampler[0];
    p.magFilter = sampler[size_t(SamplerState::MagFilter)];
    p.minFilter = sampler[size_t(SamplerState::MinFilter)];
    const auto& stage = states_.stage[0];
    p.colorOp = stage[size_t(StageState::ColorOp)];
    p.colorArg1 = stage[size_t(StageState::ColorArg1)];
    p.colorArg2 = stage[size_t(StageState::ColorArg2)];
    p.alphaOp = stage[size_t(StageState::AlphaOp)];
    p.alphaArg1 = stage[size_t(StageState::AlphaArg1)];
    p.alphaArg2 = stage[size_t(StageState::AlphaArg2)];
    const auto& r = states_.render;
    p.alphaTest = r[size_t(RenderState::AlphaTestEnable)] != 0;
    p.alphaFunc = r[size_t(RenderState::AlphaFunc)];
    p.alphaRef = r[size_t(RenderState::AlphaRef)];
    p.alphaBlend = r[size_t(RenderState::AlphaBlendEnable)] != 0;
    p.srcBlend = r[size_t(RenderState::SrcBlend)];
    p.destBlend = r[size_t(RenderState::DestBlend)];
    p.cullMode = r[size_t(RenderState::CullMode)];
    p.flatShading = r[size_t(RenderState::ShadeMode)] == kShadeFlat;
    return p;
}

Result GpuDevice::checkDraw(uint32_t type, uint32_t primitiveCount, uint32_t stride, uint64_t* vertexCount) {
    const uint32_t size = drawableVertexSize(states_.fvf);  // untransformed formats belong to the 3-D half
    if (primitiveCount == 0 || size == 0 || stride < size) {
        return kErrInvalidCall;
    }
    switch (type) {
        case kPrimitiveTriangleList:
            *vertexCount = 3 * uint64_t(primitiveCount);
            return kOk;
        case kPrimitiveTriangleStrip:
        case kPrimitiveTriangleFan:
            *vertexCount = uint64_t(primitiveCount) + 2;
            return kOk;
        default:
            return kErrInvalidCall;  // points and lines belong to the 3-D half
    }
}

Result GpuDevice::drawPrimitiveUp(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    Lock lock(mutex_);
    uint64_t vertexCount = 0;
    if (vertices == nullptr || checkDraw(type, primitiveCount, stride, &vertexCount) < 0) {
        return kErrInvalidCall;
    }
    drawVertices(type, primitiveCount, static_cast<const unsigned char*>(vertices), stride);
    return kOk;
}

Result GpuDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    Lock lock(mutex_);
    uint64_t vertexCount = 0;
    if (streamBuffer_ == nullptr || checkDraw(type, primitiveCount, streamStride_, &vertexCount) < 0) {
        return kErrInvalidCall;
    }
    // The last vertex must end inside the buffer.
    const uint64_t end =
        streamOffset_ + (uint64_t(startVertex) + vertexCount - 1) * streamStride_ + drawableVertexSize(states_.fvf);
    if (end > streamBuffer_->size()) {
        return kErrInvalidCall;
    }
    std::unique_lock<std::mutex> guard;
    const unsigned char* contents = streamBuffer_->contentsForDraw(guard);
    if (contents == nullptr) {
        return kErrInvalidCall;  // the caller still has it locked
    }
    drawVertices(type, primitiveCount, contents + streamOffset_ + size_t(startVertex) * streamStride_, streamStride_);
    return kOk;
}

// Draws checked vertices of the current format; the caller holds the device's lock.
void GpuDevice::drawVertices(uint32_t type, uint32_t primitiveCount, const unsigned char* bytes, uint32_t stride) {
    const uint32_t fvf = states_.fvf;
    const bool hasColor = (fvf & kFvfDiffuse) != 0;
    const bool hasTex = (fvf & kFvfTex1) != 0;
    auto vertex = [&](uint32_t i) {
        const unsigned char* at = bytes + size_t(i) * stride;
        float f[2];
        std::memcpy(f, at, sizeof f);
        RasterVertex v;
        v.x = f[0];
        v.y = f[1];
        uint32_t offset = 16;
        if (hasColor) {
            std::memcpy(&v.color, at + offset, 4);
            offset += 4;
        }
        if (hasTex) {
            float uv[2];
            std::memcpy(uv, at + offset, sizeof uv);
            v.u = uv[0];
            v.v = uv[1];
        }
        return v;
    };
    const PipelineState state = pipeline();
    if (type == kPrimitiveTriangleFan) {
        // Fan triangles in pairs: (0, i+1, i+2) and (0, i+2, i+3) form a quad.
        uint32_t i = 0;
        for (; i + 1 < primitiveCount; i += 2) {
            rasterizer_.drawQuad(state, vertex(0), vertex(i + 1), vertex(i + 2), vertex(i + 3));
        }
        if (i < primitiveCount) {
            rasterizer_.drawTriangle(state, vertex(0), vertex(i + 1), vertex(i + 2));
        }
        return;
    }
    for (uint32_t i = 0; i < primitiveCount; ++i) {
        if (type == kPrimitiveTriangleList) {
            rasterizer_.drawTriangle(state, vertex(3 * i), vertex(3 * i + 1), vertex(3 * i + 2));
        } else if ((i & 1) == 0) {
            rasterizer_.drawTriangle(state, vertex(i), vertex(i + 1), vertex(i + 2));
        } else {  // odd strip triangles are reversed to keep the winding
            rasterizer_.drawTriangle(state, vertex(i + 1), vertex(i), vertex(i + 2));
        }
    }
}

Result GpuDevice::setStreamSource(uint32_t stream, GpuVertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    Lock lock(mutex_);
    // One stream only: formats are whole-vertex codes, never spread over several streams.
    if (stream != 0 || (buffer != nullptr && offset >= buffer->size())) {
        return kErrInvalidCall;
    }
    if (buffer == nullptr) {
        unbindStream();
        return kOk;
    }
    buffer->addRef();
    safeRelease(streamBuffer_);
    streamBuffer_ = buffer;
    streamOffset_ = offset;
    streamStride_ = stride;
    return kOk;
}

Result GpuDevice::getStreamSource(uint32_t stream, GpuVertexBuffer** out, uint32_t* offset, uint32_t* stride) {
    Lock lock(mutex_);
    if (stream != 0 || out == nullptr || offset == nullptr || stride == nullptr) {
        return kErrInvalidCall;
    }
    if (streamBuffer_ != nullptr) {
        streamBuffer_->addRef();
    }
    *out = streamBuffer_;
    *offset = streamOffset_;
    *stride = streamStride_;
    return kOk;
}

void GpuDevice::unbindStream() {
    safeRelease(streamBuffer_);
    streamOffset_ = 0;
    streamStride_ = 0;
}

Result GpuDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                                uint32_t pool, GpuTexture** out) {
    if (out == nullptr || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize ||
        levels != 1 || !isColorFormat(format) || pool > kPoolSystemMem ||
        (usage & ~uint32_t(kUsageRenderTarget | kUsageDynamic)) != 0 ||
        ((usage & kUsageRenderTarget) != 0 && pool != kPoolDefault)) {
        return kErrInvalidCall;
    }
    try {
        auto image = std::make_shared<PixelImage>(width, height, format);
        Lock lock(mutex_);
        *out = new GpuTexture(std::move(image), usage, pool);
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    }
    return kOk;
}

Result GpuDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                     GpuVertexBuffer** out) {
    const uint32_t vertexSize = drawableVertexSize(fvf);
    if (out == nullptr || vertexSize == 0 || length < vertexSize || pool > kPoolSystemMem ||
        (usage & ~uint32_t(kUsageWriteOnly | kUsageDynamic)) != 0) {
        return kErrInvalidCall;
    }
    try {
        *out = new GpuVertexBuffer(length, usage, fvf, pool);
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    }
    return kOk;
}

Result GpuDevice::createOffscreenPlainSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t pool,
                                              GpuSurface** out) {
    if (out == nullptr || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize ||
        !isColorFormat(format) || pool > kPoolSystemMem) {
        return kErrInvalidCall;
    }
    try {
        *out = new GpuSurface(std::make_shared<PixelImage>(width, height, format), 0, pool);
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    }
    return kOk;
}

Result GpuDevice::updateSurface(GpuSurface* source, const IntRect* sourceRect, GpuSurface* destination,
                                const IntPoint* destinationPoint) {
    Lock lock(mutex_);
    SurfaceDesc from, to;
    if (source == nullptr || destination == nullptr || source->getDesc(&from) < 0 || destination->getDesc(&to) < 0 ||
        from.pool != kPoolSystemMem || to.pool != kPoolDefault || from.format != to.format || source->isLocked() ||
        destination->isLocked()) {
        return kErrInvalidCall;
    }
    const IntRect area = sourceRect != nullptr ? *sourceRect : wholeImage(*source->image());
    const IntPoint at = destinationPoint != nullptr ? *destinationPoint : IntPoint{area.left, area.top};
    const int32_t w = area.right - area.left;
    const int32_t h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || area.left < 0 || area.top < 0 || area.right > int32_t(from.width) ||
        area.bottom > int32_t(from.height) || at.x < 0 || at.y < 0 || at.x + w > int32_t(to.width) ||
        at.y + h > int32_t(to.height)) {
        return kErrInvalidCall;
    }
    const PixelImage& src = *source->image();
    PixelImage& dst = *destination->image();
    for (int32_t y = 0; y < h; ++y) {
        std::memcpy(dst.row(uint32_t(at.y + y)) + at.x, src.row(uint32_t(area.top + y)) + area.left, size_t(w) * 4);
    }
    return kOk;
}

void GpuDevice::setFrameSink(FrameSink sink) {
    Lock lock(mutex_);
    sink_ = std::move(sink);
}

void GpuDevice::simulateDeviceLoss(bool resettable) {
    Lock lock(mutex_);
    loss_ = resettable ? LossState::NotReset : LossState::Lost;
}

GpuDevice::LossState GpuDevice::lossState() {
    Lock lock(mutex_);
    return loss_;
}

void GpuDevice::setDirectPathEnabled(bool enabled) {
    Lock lock(mutex_);
    rasterizer_.setDirectPathEnabled(enabled);
}

uint64_t GpuDevice::directSpanCount() {
    Lock lock(mutex_);
    return rasterizer_.directSpans();
}

Result GpuSystem::createDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow, uint32_t behaviourFlags,
                               PresentParameters* parameters, GpuDevice** out) {
    if (out == nullptr || parameters == nullptr || adapter != 0 || deviceType != kDeviceHal ||
        parameters->backBufferWidth == 0 || parameters->backBufferHeight == 0 ||
        parameters->backBufferWidth > kMaxTextureSize || parameters->backBufferHeight > kMaxTextureSize ||
        parameters->backBufferFormat != kFormatX8R8G8B8 || parameters->backBufferCount > 1) {
        return kErrInvalidCall;
    }
    try {
        *out = new GpuDevice(focusWindow, behaviourFlags, *parameters);
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    }
    return kOk;
}

GpuSystem* createGpuSystem(uint32_t) { return new (std::nothrow) GpuSystem(); }

}  // namespace Platform::Gpu
