#include "graphics/OxRenderer.h"

#include <cmath>
#include <cstring>

#include "graphics/OxCamera.h"
#include "graphics/OxGeometry.h"
#include "graphics/OxGraphics.h"
#include "graphics/OxMeshDraw.h"
#include "graphics/OxParticles.h"
#include "graphics/OxSkinnedMesh.h"
#include "graphics/OxStaticMesh.h"
#include "graphics/OxGraphicsObject.h"
#include "graphics/OxMatrixMath.h"
#include "graphics/OxRenderCommandFactory.h"
#include "graphics/OxSpriteDraw.h"
#include "graphics/OxTextureData.h"
#include "graphics/OxTextureManager.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;

namespace {

constexpr uint32_t kRenderStateCount = 4;

uint32_t mappedFilter(uint32_t filter) {
    return filter >= kOxFilterPoint && filter <= kOxFilterAnisotropic ? filter : kOxFilterNone;
}

// "+0.5 and truncate toward zero" of a float rectangle; null stays null.
bool toIntRect(const float* rect, IntRect& out) {
    if (rect == nullptr) {
        return false;
    }
    out = IntRect{int32_t(rect[0] + 0.5f), int32_t(rect[1] + 0.5f), int32_t(rect[2] + 0.5f), int32_t(rect[3] + 0.5f)};
    return true;
}

}  // namespace

OxRenderer::OxRenderer(IOrvexGraphics* graphics)
    : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)), device_(graphics->getDevice()) {
    textureManager_ = OxRefPtr<OxTextureManager>::adopt(new OxTextureManager(this));
    spriteDraw_ = OxRefPtr<OxSpriteDraw>::adopt(new OxSpriteDraw(this, device_));
    commandFactory_ = OxRefPtr<OxRenderCommandFactory>::adopt(new OxRenderCommandFactory());
    defaultCamera_ = OxRefPtr<IOrvexCamera>::adopt(new OxCamera(graphics));
    setCamera(nullptr);
    deviceLost_ = false;
    recording_ = false;
}

OxRenderer::~OxRenderer() {
    shutdown();
    {
        Thread::OxCriticalLock lock(registryLock_);
        registry_.clear();
    }
    recorded_.clear();
    // Released here, while the registry they unregister from still exists.
    sphere_.reset();
    camera_.reset();
    defaultCamera_.reset();
    commandFactory_.reset();
    spriteDraw_.reset();
    textureManager_.reset();
    graphics_.reset();
}

int32_t OxRenderer::setUpDevice() {
    if (device_->getRenderTarget(0, backBuffer_.put()) < 0) {
        return kOxErrFailed;
    }
    OxViewportRect viewport;
    if (graphics_->getViewport(&viewport) < 0) {
        return kOxErrFailed;
    }
    if (textureManager_->createRenderTargetTexture(renderTarget_.put(), viewport.width, viewport.height, 0) < 0) {
        (void)renderTarget_.detach();  // a failed creation hands out no reference
        return kOxErrFailed;
    }
    if (setRenderTarget(renderTarget_.get()) < 0) {
        return kOxErrFailed;
    }
    if (device_->setSamplerState(0, SamplerState::MipFilter, kFilterLinear) < 0) {
        return kOxErrFailed;
    }
    for (uint32_t stage = 0; stage < kSamplerCount; ++stage) {
        if (setTextureFilter(stage, kOxFilterLinear) < 0) {
            return kOxErrFailed;
        }
    }
    deviceLost_ = false;
    return kOxOk;
}

IOrvexTextureManager* OxRenderer::getTextureManager() { return textureManager_.get(); }

IOrvexSpriteDraw* OxRenderer::getSpriteDraw() { return spriteDraw_.get(); }

IOrvexRenderCommandFactory* OxRenderer::getRenderCommandFactory() { return commandFactory_.get(); }

void OxRenderer::registerObject(OxGraphicsObject* object) {
    Thread::OxCriticalLock lock(registryLock_);
    registry_.insert(object);
}

void OxRenderer::unregisterObject(OxGraphicsObject* object) {
    Thread::OxCriticalLock lock(registryLock_);
    registry_.erase(object);
}

size_t OxRenderer::registeredCount() {
    Thread::OxCriticalLock lock(registryLock_);
    return registry_.size();
}

int32_t OxRenderer::shutdown() {
    sphere_.reset();
    renderTarget_.reset();
    backBuffer_.reset();
    textureManager_->clear();
    return getRefCount() < 2 ? kOxOk : kOxErrFailed;
}

int32_t OxRenderer::reset(const OxGraphicsParameters* parameters) {
    if (parameters == nullptr && device_->testCooperativeLevel() != kErrDeviceNotReset) {
        return kOxErrFailed;
    }
    // The whole walk holds the registry lock: worker threads create and release textures while
    // the device is being reset.
    Thread::OxCriticalLock lock(registryLock_);
    for (OxGraphicsObject* object : registry_) {
        object->onLostDevice();
    }
    if (backBuffer_ != nullptr) {
        device_->setRenderTarget(0, backBuffer_.get());
    }
    backBuffer_.reset();
    PresentParameters pp;
    if (parameters != nullptr) {
        pp = OxGraphics::presentParameters(*parameters);
    } else if (device_->getPresentParameters(&pp) < 0) {
        return kOxErrFailed;
    }
    if (device_->reset(&pp) < 0) {
        return kOxErrFailed;
    }
    for (OxGraphicsObject* object : registry_) {
        object->onResetDevice();
    }
    device_->getRenderTarget(0, backBuffer_.put());
    deviceLost_ = false;
    return kOxOk;
}

int32_t OxRenderer::clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) {
    uint32_t deviceFlags = 0;
    deviceFlags |= (flags & 1) != 0 ? uint32_t(kClearTarget) : 0u;
    deviceFlags |= (flags & 2) != 0 ? uint32_t(kClearStencil) : 0u;
    deviceFlags |= (flags & 4) != 0 ? uint32_t(kClearZBuffer) : 0u;
    return device_->clear(0, nullptr, deviceFlags, argb, z, stencil) < 0 ? kOxErrInvalidArgument : kOxOk;
}

int32_t OxRenderer::beginScene() {
    if (deviceLost_ || device_->beginScene() < 0) {
        return kOxErrFailed;
    }
    return kOxOk;
}

int32_t OxRenderer::endScene() {
    recording_ = false;
    recorded_.clear();
    return device_->endScene() < 0 ? kOxErrFailed : kOxOk;
}

int32_t OxRenderer::presentWith(const IntRect* source, const IntRect* destination, WindowHandle overrideWindow) {
    if (backBuffer_ == nullptr || renderTarget_ == nullptr) {
        return kOxErrFailed;
    }
    device_->setRenderTarget(0, backBuffer_.get());
    if (beginScene() >= 0) {
        spriteDraw_->begin();
        spriteDraw_->setTextureBlendMode(OxTextureBlendModes::kOpaque);
        spriteDraw_->draw(renderTarget_.get(), nullptr, nullptr);
        spriteDraw_->end();
        endScene();
    }
    const Result presented = device_->present(source, destination, overrideWindow);
    if (presented == kErrDeviceLost) {
        deviceLost_ = true;
    }
    setRenderTarget(renderTarget_.get());
    return presented < 0 ? kOxErrFailed : kOxOk;
}

int32_t OxRenderer::present() { return presentWith(nullptr, nullptr, 0); }

int32_t OxRenderer::presentRect(WindowHandle overrideWindow, const float* source, const float* destination) {
    IntRect src, dst;
    const bool hasSource = toIntRect(source, src);
    const bool hasDestination = toIntRect(destination, dst);
    return presentWith(hasSource ? &src : nullptr, hasDestination ? &dst : nullptr, overrideWindow);
}

int32_t OxRenderer::applyRenderState(uint32_t index, bool value) {
    Result result = kOk;
    switch (index) {
        case 0:
            result = device_->setRenderState(RenderState::ZEnable, value ? 1 : 0);
            break;
        case 1:
            result = device_->setRenderState(RenderState::ZWriteEnable, value ? 1 : 0);
            break;
        case 2:
            result = device_->setRenderState(RenderState::Lighting, value ? 1 : 0);
            break;
        default:
            result = device_->setRenderState(RenderState::FillMode, value ? kFillWireframe : kFillSolid);
            break;
    }
    return result < 0 ? kOxErrFailed : kOxOk;
}

int32_t OxRenderer::setRenderState(uint32_t index, bool value) {
    if (index >= kRenderStateCount) {
        return kOxErrInvalidArgument;
    }
    if (recording_) {
        bool old = false;
        if (getRenderState(index, &old) >= 0) {
            recorded_.push_back({index, uint8_t(old ? 1 : 0)});
        }
    }
    return applyRenderState(index, value);
}

int32_t OxRenderer::getRenderState(uint32_t index, bool* out) {
    if (index >= kRenderStateCount || out == nullptr) {
        return kOxErrInvalidArgument;
    }
    static constexpr RenderState kStates[] = {RenderState::ZEnable, RenderState::ZWriteEnable, RenderState::Lighting,
                                              RenderState::FillMode};
    uint32_t value = 0;
    if (device_->getRenderState(kStates[index], &value) < 0) {
        return kOxErrFailed;
    }
    *out = index == 3 ? value == kFillWireframe : value == 1;
    return kOxOk;
}

void OxRenderer::beginRecordStates() { recording_ = true; }

void OxRenderer::restoreRecordedStates() {
    recording_ = false;
    for (auto it = recorded_.rbegin(); it != recorded_.rend(); ++it) {
        applyRenderState(it->index, it->oldValue != 0);
    }
    recorded_.clear();
}

int32_t OxRenderer::setTextureFilter(uint32_t stage, uint32_t filter) {
    const uint32_t mapped = mappedFilter(filter);
    if (device_->setSamplerState(stage, SamplerState::MagFilter, mapped) < 0 ||
        device_->setSamplerState(stage, SamplerState::MinFilter, mapped) < 0) {
        return kOxErrFailed;
    }
    return kOxOk;
}

uint32_t OxRenderer::getTextureFilter(uint32_t stage) {
    uint32_t mag = 0, min = 0;
    if (device_->getSamplerState(stage, SamplerState::MagFilter, &mag) < 0 ||
        device_->getSamplerState(stage, SamplerState::MinFilter, &min) < 0 || mag != min) {
        return kOxFilterNone;
    }
    return mappedFilter(mag);
}

int32_t OxRenderer::setRenderTarget(IOrvexTexture* texture) {
    OxTextureData* data = textureDataOf(texture);
    if (data == nullptr || data->getType() != 1 || data->getDXTexture() == nullptr) {
        return kOxErrInvalidArgument;
    }
    const auto surface = OxRefPtr<GpuSurface>::adopt(data->getDXTexture()->getSurfaceLevel(0));
    return surface != nullptr && device_->setRenderTarget(0, surface.get()) >= 0 ? kOxOk : kOxErrFailed;
}

int32_t OxRenderer::setTexture(uint32_t stage, IOrvexTexture* texture) {
    if (texture == nullptr) {
        return kOxErrInvalidArgument;
    }
    OxTextureData* data = textureDataOf(texture);
    if (data == nullptr || data->getType() > 1 || data->getDXTexture() == nullptr) {
        return kOxErrFailed;
    }
    return device_->setTexture(stage, data->getDXTexture()->getTexture()) < 0 ? kOxErrFailed : kOxOk;
}

int32_t OxRenderer::setWorldTransform(const float* t) {
    if (t == nullptr) {
        return kOxErrInvalidArgument;
    }
    Matrix m = Matrix::identity();
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            m.m[i][j] = t[3 * j + i];
        }
        m.m[3][j] = t[9 + j];
    }
    return device_->setTransform(kTransformWorld, &m) < 0 ? kOxErrFailed : kOxOk;
}

int32_t OxRenderer::getWorldTransform(float* out) {
    if (out == nullptr) {
        return kOxErrInvalidArgument;
    }
    Matrix m;
    if (device_->getTransform(kTransformWorld, &m) < 0) {
        return kOxErrFailed;
    }
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            out[3 * j + i] = m.m[i][j];
        }
        out[9 + j] = m.m[3][j];
    }
    return kOxOk;
}

int32_t OxRenderer::setCamera(IOrvexCamera* camera) {
    IOrvexCamera* chosen = camera != nullptr ? camera : defaultCamera_.get();
    camera_.reset();
    // The camera's matrices are in the column-vector convention; the graphics object transposes.
    OxMatrix projection, view;
    chosen->getProjectionMatrix(&projection);
    chosen->getViewMatrix(&view);
    const int32_t result = graphics_->setProjectionMatrix(&projection);
    if (result < 0) {
        return result;
    }
    graphics_->setViewMatrix(&view);
    camera_ = OxRefPtr<IOrvexCamera>::share(chosen);
    return kOxOk;
}

int32_t OxRenderer::drawLines(const float (*points)[3], uint32_t lineCount, uint32_t argb) {
    if (points == nullptr && lineCount > 0) {
        return kOxErrInvalidArgument;
    }
    uint32_t lighting = 0, ambient = 0;
    device_->getRenderState(RenderState::Lighting, &lighting);
    device_->setRenderState(RenderState::Lighting, 0);
    device_->getRenderState(RenderState::Ambient, &ambient);
    device_->setRenderState(RenderState::Ambient, 0xFFFFFFFFu);
    Material material;
    const ColorValue color{((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
                           (argb >> 24) / 255.0f};
    material.diffuse = color;
    material.ambient = color;
    material.power = 1;
    device_->setMaterial(&material);
    device_->setTexture(0, nullptr);
    device_->setVertexShader(nullptr);
    device_->setPixelShader(nullptr);
    struct LineVertex {
        float x, y, z;
        uint32_t color;
    };
    std::vector<LineVertex> vertices(size_t(lineCount) * 2);
    for (size_t i = 0; i < vertices.size(); ++i) {
        vertices[i] = {points[i][0], points[i][1], points[i][2], argb};
    }
    int32_t result = kOxOk;
    if (device_->setFvf(kFvfXyz | kFvfDiffuse) < 0 ||
        device_->drawPrimitiveUp(kPrimitiveLineList, lineCount, vertices.data(), sizeof(LineVertex)) < 0) {
        result = kOxErrFailed;
    }
    device_->setRenderState(RenderState::Lighting, lighting);
    device_->setRenderState(RenderState::Ambient, ambient);
    return result;
}

int32_t OxRenderer::drawGrid(uint32_t) {
    OxMatrix identity;
    for (int i = 0; i < 4; ++i) {
        identity.m[i][i] = 1;
    }
    graphics_->setWorldMatrix(&identity);
    beginRecordStates();
    setRenderState(1, false);
    float lines[15][2][3];
    for (int i = 0; i < 15; ++i) {
        const float z = -70.0f + 10.0f * i;
        lines[i][0][0] = -70, lines[i][0][1] = 0, lines[i][0][2] = z;
        lines[i][1][0] = 70, lines[i][1][1] = 0, lines[i][1][2] = z;
    }
    drawLines(&lines[0][0], 15, 0xFF919191u);
    for (int i = 0; i < 15; ++i) {
        const float x = -70.0f + 10.0f * i;
        lines[i][0][0] = x, lines[i][0][1] = 0, lines[i][0][2] = -70;
        lines[i][1][0] = x, lines[i][1][1] = 0, lines[i][1][2] = 70;
    }
    drawLines(&lines[0][0], 15, 0xFF919191u);
    const float axes[2][2][3] = {{{-70, 0, 0}, {70, 0, 0}}, {{0, 0, -70}, {0, 0, 70}}};
    drawLines(&axes[0][0], 2, 0xFF000000u);
    restoreRecordedStates();
    return kOxOk;
}

int32_t OxRenderer::drawBox(const OxOrientedBox* box, uint32_t argb) {
    if (box == nullptr) {
        return kOxErrInvalidArgument;
    }
    float corners[8][3];
    for (int k = 0; k < 8; ++k) {
        for (int c = 0; c < 3; ++c) {
            float v = box->center[c];
            for (int a = 0; a < 3; ++a) {
                const float sign = ((k >> a) & 1) != 0 ? 1.0f : -1.0f;
                v += sign * box->halfLength[a] * box->axis[a][c];
            }
            corners[k][c] = v;
        }
    }
    float edges[12][2][3];
    int n = 0;
    for (int k = 0; k < 8; ++k) {
        for (int a = 0; a < 3; ++a) {
            if (((k >> a) & 1) == 0) {
                const int other = k | (1 << a);
                for (int c = 0; c < 3; ++c) {
                    edges[n][0][c] = corners[k][c];
                    edges[n][1][c] = corners[other][c];
                }
                ++n;
            }
        }
    }
    return drawLines(&edges[0][0], 12, argb);
}

int32_t OxRenderer::drawSphere(const OxSphere* sphere, uint32_t argb) {
    if (sphere == nullptr) {
        return kOxErrInvalidArgument;
    }
    if (sphere_ == nullptr) {
        OxRefPtr<Platform::Gpux::XMesh> made;
        if (Platform::Gpux::createSphere(device_, 1.0f, 8, 8, made.put()) < 0 ||
            made->cloneMeshFvf(Platform::Gpux::kMeshManaged, kFvfXyz | kFvfNormal | kFvfDiffuse, nullptr,
                               sphere_.put()) < 0) {
            sphere_.reset();
            return kOxErrFailed;
        }
    }
    unsigned char* vertices = nullptr;
    if (sphere_->lockVertexBuffer(0, reinterpret_cast<void**>(&vertices)) < 0) {
        return kOxErrFailed;
    }
    for (uint32_t i = 0; i < sphere_->getNumVertices(); ++i) {
        std::memcpy(vertices + size_t(i) * sphere_->getNumBytesPerVertex() + 24, &argb, 4);
    }
    sphere_->unlockVertexBuffer();
    Matrix world = Matrix::identity();
    for (int i = 0; i < 3; ++i) {
        world.m[i][i] = sphere->radius;
        world.m[3][i] = sphere->center[i];
    }
    device_->setTransform(kTransformWorld, &world);
    beginRecordStates();
    setRenderState(2, false);
    setRenderState(3, true);
    uint32_t ambient = 0;
    device_->getRenderState(RenderState::Ambient, &ambient);
    device_->setRenderState(RenderState::Ambient, 0xFFFFFFFFu);
    Material white;
    white.diffuse = white.ambient = white.specular = white.emissive = {1, 1, 1, 1};
    white.power = 0;
    device_->setMaterial(&white);
    device_->setTexture(0, nullptr);
    sphere_->drawSubset(0);
    restoreRecordedStates();
    device_->setRenderState(RenderState::Ambient, ambient);
    return kOxOk;
}

int32_t OxRenderer::drawMesh(IOrvexMesh* mesh) {
    if (mesh == nullptr) {
        return kOxErrCreateFailed;
    }
    OxDXObject* hierarchy = nullptr;
    switch (mesh->getMeshType()) {
        case 1:
            hierarchy = static_cast<OxStaticMesh*>(static_cast<IOrvexStaticMesh*>(mesh))->hierarchy();
            break;
        case 2:
            hierarchy = static_cast<OxSkinnedMesh*>(static_cast<IOrvexSkinnedMesh*>(mesh))->hierarchy();
            break;
        default:
            break;
    }
    if (hierarchy == nullptr) {
        return kOxErrFailed;
    }
    device_->setVertexShader(nullptr);
    device_->setPixelShader(nullptr);
    MeshDraw::drawFrames(device_, *hierarchy, hierarchy->root());
    const Matrix identity = Matrix::identity();
    device_->setTransform(kTransformWorld, &identity);
    return kOxOk;
}

// Every container of the frame, then the subtree of its next sibling, then that of its first
// child; a sibling chain is walked in a loop (its children then go from the last sibling back).
int32_t OxRenderer::drawFrameTree(OxFrame* frame, OxGeometry& geometry) {
    OxDXObject* hierarchy = geometry.hierarchy();
    std::vector<OxFrame*> chain;
    for (; frame != nullptr; frame = frame->next()) {
        for (auto* c = frame->getMeshContainer(); c != nullptr && hierarchy != nullptr; c = c->next) {
            MeshDraw::setGeometryStates(device_);
            MeshDraw::drawContainer(device_, *hierarchy, *static_cast<OxDXMeshContainer*>(c), geometry.library());
        }
        chain.push_back(frame);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        drawFrameTree((*it)->child(), geometry);
    }
    return kOxOk;
}

int32_t OxRenderer::drawRenderObject(IOrvexRenderObject* object) {
    if (object == nullptr) {
        return kOxErrInvalidArgument;
    }
    auto* geometry = dynamic_cast<OxGeometry*>(object);
    if (geometry == nullptr) {
        return kOxErrFailed;  // only geometries have frames to draw
    }
    drawFrameTree(geometry->rootFrame(), *geometry);
    const Matrix identity = Matrix::identity();
    device_->setTransform(kTransformWorld, &identity);
    return kOxOk;
}

int32_t OxRenderer::testDevice() {
    switch (device_->testCooperativeLevel()) {
        case kErrDeviceLost:
            return kOxErrDeviceLost;
        case kErrDeviceNotReset:
            return kOxErrDeviceNotReset;
        default:
            return kOxOk;
    }
}

}  // namespace Orvex::Graphics
