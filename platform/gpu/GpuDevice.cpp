#include "platform/gpu/GpuDevice.h"

#include <cstring>
#include <new>

#include "platform/gpu/GpuDeviceSupport.h"
#include "platform/gpu/SpanWriter.h"

namespace Platform::Gpu {

using namespace DeviceSupport;

namespace {

// A back buffer size and format this device presents.
bool validPresentParameters(const PresentParameters& p) {
    return validSize(p.backBufferWidth, p.backBufferHeight) && p.backBufferFormat == kFormatX8R8G8B8;
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
    if (capture_.wantsLast()) {
        if (const std::shared_ptr<const Frame> last = mailbox_->latest()) {
            capture_.offerLast(*last);
        }
    }
    releaseBindings();
    safeRelease(renderTarget_);
    safeRelease(backBuffer_);
}

// Bindings are the device's own references, not the caller's.
void GpuDevice::releaseBindings() {
    for (GpuTexture*& texture : textures_) {
        safeRelease(texture);
    }
    unbindStream();
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
    if (parameters == nullptr || !validPresentParameters(*parameters)) {
        return kErrInvalidCall;
    }
    if (loss_ == LossState::Lost) {
        return kErrDeviceLost;
    }
    releaseBindings();  // they go first
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
    std::shared_ptr<Frame> frame =
        framePool_.acquire(uint32_t(area.right - area.left), uint32_t(area.bottom - area.top));
    // The rows as the copy writer of the span writers writes them: opaque, whole blocks at a time.
    Raster::SpanContext opaque;
    opaque.keepMask = 0xFF000000u;
    const Raster::SpanWrite copy =
        Raster::chooseSpanWrite(Raster::BlendKind::Copy, Raster::TestKind::None, rasterizer_.spanWriter());
    copy(opaque, image.row(uint32_t(area.top)) + area.left, image.width, 0, frame->pixels.data(), frame->width,
         int32_t(frame->width), int32_t(frame->height));
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
    return copyOut(out, parameters_);
}

Result GpuDevice::getBackBuffer(uint32_t swapChain, uint32_t index, GpuSurface** out) {
    Lock lock(mutex_);
    if (swapChain != 0 || index != 0 || out == nullptr) {
        return kErrInvalidCall;
    }
    handOut(backBuffer_, out);
    return kOk;
}

Result GpuDevice::getRenderTarget(uint32_t index, GpuSurface** out) {
    Lock lock(mutex_);
    if (index != 0 || out == nullptr) {
        return kErrInvalidCall;
    }
    handOut(renderTarget_, out);
    return kOk;
}

Result GpuDevice::setRenderTarget(uint32_t index, GpuSurface* surface) {
    Lock lock(mutex_);
    SurfaceDesc desc;
    if (index != 0 || surface == nullptr || surface->getDesc(&desc) < 0 || !(desc.usage & kUsageRenderTarget)) {
        return kErrInvalidCall;
    }
    bind(renderTarget_, surface);
    setViewportToTarget();  // a new target resets the viewport and the scissor rectangle
    return kOk;
}

// Entering a scene that is open or leaving one that is not is refused.
Result GpuDevice::setInScene(bool inScene) {
    Lock lock(mutex_);
    if (inScene_ == inScene) {
        return kErrInvalidCall;
    }
    inScene_ = inScene;
    return kOk;
}

Result GpuDevice::beginScene() { return setInScene(true); }

Result GpuDevice::endScene() { return setInScene(false); }

IntRect GpuDevice::clipRect() {
    IntRect area = wholeImage(*renderTarget_->image());
    area = intersect(area, IntRect{int32_t(viewport_.x), int32_t(viewport_.y), int32_t(viewport_.x + viewport_.width),
                                   int32_t(viewport_.y + viewport_.height)});
    if (states_.render[size_t(RenderState::ScissorTestEnable)] != 0) {
        area = intersect(area, scissor_);
    }
    return area;
}

Result GpuDevice::clear(uint32_t rectCount, const IntRect* rects, uint32_t flags, uint32_t argb, float z, uint32_t) {
    Lock lock(mutex_);
    if (flags == 0 || (flags & ~uint32_t(kClearTarget | kClearZBuffer | kClearStencil)) != 0 ||
        (rectCount > 0 && rects == nullptr)) {
        return kErrInvalidCall;
    }
    // The depth buffer is D16 without stencil.
    if ((flags & kClearStencil) != 0 || ((flags & kClearZBuffer) != 0 && !parameters_.enableAutoDepthStencil)) {
        return kErrInvalidCall;
    }
    const IntRect area = clipRect();
    std::vector<uint16_t>* depth = (flags & kClearZBuffer) != 0 ? depthBuffer() : nullptr;
    const bool target = (flags & kClearTarget) != 0;
    if (rectCount == 0) {
        clearArea(area, target, argb, depth, z);
        return kOk;
    }
    for (uint32_t i = 0; i < rectCount; ++i) {
        clearArea(intersect(area, rects[i]), target, argb, depth, z);
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
    return copyOut(out, viewport_);
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
    return copyOut(out, scissor_);
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
    rasterizer3D_.setFastPathEnabled(enabled);
}

uint64_t GpuDevice::directSpanCount() {
    Lock lock(mutex_);
    return rasterizer_.directSpans() + rasterizer3D_.wideBatches();
}

SpanWriter GpuDevice::setSpanWriter(SpanWriter writer) {
    Lock lock(mutex_);
    rasterizer3D_.setSpanWriter(writer);
    return rasterizer_.setSpanWriter(writer);
}

Result GpuSystem::createDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow, uint32_t behaviourFlags,
                               PresentParameters* parameters, GpuDevice** out) {
    if (out == nullptr || parameters == nullptr || adapter != 0 || deviceType != kDeviceHal ||
        !validPresentParameters(*parameters) || parameters->backBufferCount > 1) {
        return kErrInvalidCall;
    }
    return allocate([&] { *out = new GpuDevice(focusWindow, behaviourFlags, *parameters); });
}

GpuSystem* createGpuSystem(uint32_t) { return new (std::nothrow) GpuSystem(); }

}  // namespace Platform::Gpu
