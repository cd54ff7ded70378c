#pragma once
// The renderer: frames are drawn into an off-screen render-target texture which `present`
// copies to the back buffer; it owns the texture manager and the sprite drawer and keeps the
// registry of device-dependent objects for resets.
#include <set>
#include <vector>

#include "engine/thread/OxCriticalSection.h"
#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpux/XMesh.h"

namespace Orvex::Graphics {

class OxGraphicsObject;
class OxTextureManager;
class OxSpriteDraw;
class OxRenderCommandFactory;

class OxRenderer : public OxRefCounted<IOrvexRenderer> {
public:
    explicit OxRenderer(IOrvexGraphics* graphics);

    // The device set-up run by the graphics object's createRenderer.
    int32_t setUpDevice();

    int32_t shutdown() override;
    int32_t reset(const OxGraphicsParameters* parameters) override;
    IOrvexTextureManager* getTextureManager() override;
    IOrvexSpriteDraw* getSpriteDraw() override;
    IOrvexRenderCommandFactory* getRenderCommandFactory() override;
    IOrvexGraphics* getGraphics() override { return graphics_.get(); }
    int32_t reserved9(uint32_t, uint32_t) override { return kOxOk; }
    int32_t clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) override;
    int32_t beginScene() override;
    int32_t endScene() override;
    int32_t present() override;
    int32_t presentRect(Platform::Gpu::WindowHandle overrideWindow, const float* source,
                        const float* destination) override;
    int32_t setRenderState(uint32_t index, bool value) override;
    int32_t getRenderState(uint32_t index, bool* out) override;
    void beginRecordStates() override;
    void restoreRecordedStates() override;
    int32_t setTextureFilter(uint32_t stage, uint32_t filter) override;
    uint32_t getTextureFilter(uint32_t stage) override;
    IOrvexTexture* getRenderTarget() override { return renderTarget_.get(); }
    int32_t setRenderTarget(IOrvexTexture* texture) override;
    int32_t setTexture(uint32_t stage, IOrvexTexture* texture) override;
    int32_t setWorldTransform(const float* transform4x3) override;
    int32_t getWorldTransform(float* out4x3) override;
    int32_t setCamera(IOrvexCamera* camera) override;
    IOrvexCamera* getCamera() override { return camera_.get(); }
    int32_t drawGrid(uint32_t ignored) override;
    int32_t drawLines(const float (*points)[3], uint32_t lineCount, uint32_t argb) override;
    int32_t reserved30(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override { return kOxOk; }
    int32_t drawBox(const OxOrientedBox* box, uint32_t argb) override;
    int32_t drawSphere(const OxSphere* sphere, uint32_t argb) override;
    int32_t drawMesh(IOrvexMesh* mesh) override;
    int32_t drawRenderObject(IOrvexRenderObject* object) override;
    int32_t drawParticles(IOrvexParticles* particles) override;
    int32_t testDevice() override;

    Platform::Gpu::GpuDevice* getDevice() const { return device_; }
    bool isDeviceLost() const { return deviceLost_; }
    void registerObject(OxGraphicsObject* object);
    void unregisterObject(OxGraphicsObject* object);
    size_t registeredCount();

protected:
    ~OxRenderer() override;

private:
    int32_t presentWith(const Platform::Gpu::IntRect* source, const Platform::Gpu::IntRect* destination,
                        Platform::Gpu::WindowHandle overrideWindow);
    int32_t applyRenderState(uint32_t index, bool value);
    int32_t drawFrameTree(class OxFrame* frame, class OxGeometry& geometry);

    struct RecordedState {
        uint32_t index;
        uint8_t oldValue;
    };

    OxRefPtr<IOrvexGraphics> graphics_;
    Platform::Gpu::GpuDevice* device_;
    Thread::OxCriticalSection registryLock_;
    OxRefPtr<Platform::Gpu::GpuSurface> backBuffer_;
    OxRefPtr<IOrvexTexture> renderTarget_;
    OxRefPtr<OxTextureManager> textureManager_;
    OxRefPtr<OxSpriteDraw> spriteDraw_;
    OxRefPtr<OxRenderCommandFactory> commandFactory_;
    OxRefPtr<IOrvexCamera> camera_;  // the default camera unless one was set
    OxRefPtr<IOrvexCamera> defaultCamera_;
    OxRefPtr<Platform::Gpux::XMesh> sphere_;  // made on the first drawSphere
    std::set<OxGraphicsObject*> registry_;
    bool deviceLost_ = false;
    std::vector<RecordedState> recorded_;
    bool recording_ = false;
};

}  // namespace Orvex::Graphics
