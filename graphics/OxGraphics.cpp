#include "graphics/OxGraphics.h"

#include <cmath>
#include <new>

#include "graphics/OxCamera.h"
#include "graphics/OxGeometry.h"
#include "graphics/OxGeometryExporter.h"
#include "graphics/OxGeometryImporter.h"
#include "graphics/OxParticles.h"
#include "graphics/OxSkinnedMesh.h"
#include "graphics/OxStaticMesh.h"
#include "graphics/OxMatrixMath.h"
#include "graphics/OxRenderer.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;

// The device goes before the system that made it.
OxGraphics::~OxGraphics() { device_.reset(); }

PresentParameters OxGraphics::presentParameters(const OxGraphicsParameters& p) {
    PresentParameters pp;
    pp.backBufferWidth = p.width;
    pp.backBufferHeight = p.height;
    pp.backBufferFormat = kFormatX8R8G8B8;
    pp.backBufferCount = 1;
    pp.multiSampleType = 0;
    pp.deviceWindow = 0;
    pp.windowed = p.fullScreen == 0;
    pp.enableAutoDepthStencil = true;
    pp.autoDepthStencilFormat = kFormatD16;
    pp.flags = kPresentLockableBackBuffer | kPresentDiscardDepthStencil;
    pp.fullScreenRefreshRate = 0;
    pp.swapEffect = pp.windowed ? kSwapCopy : kSwapDiscard;
    pp.presentationInterval = pp.windowed ? kPresentIntervalImmediate : kPresentIntervalOne;
    return pp;
}

int32_t OxGraphics::initialize(WindowHandle focusWindow, const OxGraphicsParameters* parameters) {
    const OxGraphicsParameters p = parameters != nullptr ? *parameters : OxGraphicsParameters{};
    PresentParameters pp = presentParameters(p);
    system_ = OxRefPtr<GpuSystem>::adopt(createGpuSystem(kSdkVersion));
    if (system_ == nullptr) {
        return kOxErrFailed;
    }
    GpuDevice* device = nullptr;
    if (system_->createDevice(0, kDeviceHal, focusWindow, kCreateMultithreaded | kCreateSoftwareVertexProcessing, &pp,
                              &device) < 0) {
        return kOxErrFailed;
    }
    device_ = OxRefPtr<GpuDevice>::adopt(device);
    const OxViewportRect whole{0, 0, p.width, p.height};
    if (setViewport(&whole) < 0) {
        return kOxErrFailed;
    }
    device_->setRenderState(RenderState::ZEnable, 1);
    device_->setRenderState(RenderState::ZWriteEnable, 1);
    device_->setRenderState(RenderState::AlphaBlendEnable, 1);
    device_->setRenderState(RenderState::AlphaTestEnable, 1);
    device_->setRenderState(RenderState::AlphaRef, 8);
    device_->setRenderState(RenderState::AlphaFunc, kCmpGreaterEqual);
    device_->setRenderState(RenderState::CullMode, kCullClockwise);
    device_->setRenderState(RenderState::ShadeMode, kShadeGouraud);
    device_->setRenderState(RenderState::Lighting, 1);
    device_->setRenderState(RenderState::SpecularEnable, 1);
    device_->setRenderState(RenderState::Ambient, 0);

    Light light;
    light.type = kLightDirectional;
    light.diffuse = {1, 1, 1, 1};
    light.specular = {1, 1, 1, 1};
    light.ambient = {0.5f, 0.5f, 0.5f, 1};
    light.position = {0, 0, 0};
    light.direction = {0, 0, -1};
    light.range = 1000;
    light.falloff = 0;
    light.attenuation0 = 1;
    light.attenuation1 = 0.0025f;
    light.attenuation2 = 0;
    device_->setLight(0, &light);
    device_->lightEnable(0, true);

    const Matrix projection = perspectiveFovRH(float(M_PI / 4), float(p.width) / float(p.height), 1.0f, 2000.0f);
    device_->setTransform(kTransformProjection, &projection);
    const Matrix view = lookAtRH({0, 0, 1000}, {0, 0, 0}, {0, 1, 0});
    device_->setTransform(kTransformView, &view);
    return kOxOk;
}

int32_t OxGraphics::setDevice(GpuDevice* device) {
    device_ = OxRefPtr<GpuDevice>::share(device);
    return kOxOk;
}

int32_t OxGraphics::terminate() {
    if (device_ == nullptr) {
        return kOxErrNotInitialized;
    }
    device_.reset();
    system_.reset();
    return kOxOk;
}

int32_t OxGraphics::createRenderer(IOrvexRenderer** out) {
    if (!isInitialized()) {
        return kOxErrNotInitialized;
    }
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    auto renderer = OxRefPtr<OxRenderer>::adopt(new (std::nothrow) OxRenderer(this));
    if (renderer == nullptr) {
        return kOxErrFailed;
    }
    if (renderer->setUpDevice() < 0) {
        renderer->shutdown();
        return kOxErrFailed;
    }
    *out = renderer.detach();
    return kOxOk;
}

template <typename Object, typename T>
int32_t OxGraphics::createThreeDimensionalObject(T** out) {
    if (!isInitialized()) {
        return kOxErrNotInitialized;
    }
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    *out = new (std::nothrow) Object(this);
    return *out != nullptr ? kOxOk : kOxErrCreateFailed;
}

int32_t OxGraphics::createGeometryImporter(IOrvexGeometryImporter** out) {
    return createThreeDimensionalObject<OxGeometryImporter>(out);
}
int32_t OxGraphics::createGeometryExporter(IOrvexGeometryExporter** out) {
    return createThreeDimensionalObject<OxGeometryExporter>(out);
}
int32_t OxGraphics::createGeometry(IOrvexGeometry** out) { return createThreeDimensionalObject<OxGeometry>(out); }
int32_t OxGraphics::createParticles(IOrvexParticles** out) { return createThreeDimensionalObject<OxParticles>(out); }
int32_t OxGraphics::createStaticMesh(IOrvexStaticMesh** out) { return createThreeDimensionalObject<OxStaticMesh>(out); }
int32_t OxGraphics::createSkinnedMesh(IOrvexSkinnedMesh** out) {
    return createThreeDimensionalObject<OxSkinnedMesh>(out);
}
int32_t OxGraphics::createCamera(IOrvexCamera** out) { return createThreeDimensionalObject<OxCamera>(out); }

int32_t OxGraphics::getViewport(OxViewportRect* out) {
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    Viewport vp;
    if (device_ == nullptr || device_->getViewport(&vp) < 0) {
        return kOxErrFailed;
    }
    *out = current_;
    return kOxOk;
}

int32_t OxGraphics::setViewport(const OxViewportRect* rect) {
    if (rect == nullptr) {
        return kOxErrInvalidArgument;
    }
    const Viewport vp{rect->x, rect->y, rect->width, rect->height, 0.0f, 1.0f};
    if (device_ == nullptr || device_->setViewport(&vp) < 0) {
        return kOxErrFailed;
    }
    // The scissor rectangle covers the viewport (right and bottom are its far edges, which at the
    // origin are its width and height).
    device_->setRenderState(RenderState::ScissorTestEnable, 1);
    const IntRect scissor{int32_t(rect->x), int32_t(rect->y), int32_t(rect->x + rect->width),
                          int32_t(rect->y + rect->height)};
    device_->setScissorRect(&scissor);
    previous_ = current_;
    current_ = *rect;
    return kOxOk;
}

int32_t OxGraphics::restoreViewport() {
    const OxViewportRect previous = previous_;
    return setViewport(&previous);
}

int32_t OxGraphics::setProjectionMatrix(const OxMatrix* matrix) {
    if (matrix == nullptr) {
        return kOxErrInvalidArgument;
    }
    const Matrix m = toDeviceMatrix(*matrix, true);
    return device_ != nullptr && device_->setTransform(kTransformProjection, &m) >= 0 ? kOxOk : kOxErrFailed;
}

int32_t OxGraphics::setViewMatrix(const OxMatrix* matrix) {
    if (matrix == nullptr) {
        return kOxErrInvalidArgument;
    }
    const Matrix m = toDeviceMatrix(*matrix, true);
    return device_ != nullptr && device_->setTransform(kTransformView, &m) >= 0 ? kOxOk : kOxErrFailed;
}

int32_t OxGraphics::setWorldMatrix(const OxMatrix* matrix) {
    if (matrix == nullptr) {
        return kOxErrInvalidArgument;
    }
    const Matrix m = toDeviceMatrix(*matrix, false);
    return device_ != nullptr && device_->setTransform(kTransformWorld, &m) >= 0 ? kOxOk : kOxErrFailed;
}

}  // namespace Orvex::Graphics
