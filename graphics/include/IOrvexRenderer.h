#pragma once
// The object through which the game draws.
#include "graphics/include/IOrvex3DTypes.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxGraphicsTypes.h"

namespace Orvex::Graphics {

class IOrvexGraphics;

class IOrvexRenderCommandFactory : public System::IOrvexRefCountObject {
protected:
    virtual ~IOrvexRenderCommandFactory() = default;
};

class IOrvexRenderer : public System::IOrvexRefCountObject {
public:
    virtual int32_t shutdown() = 0;
    virtual int32_t reset(const OxGraphicsParameters* parameters) = 0;
    virtual IOrvexTextureManager* getTextureManager() = 0;  // borrowed
    virtual IOrvexSpriteDraw* getSpriteDraw() = 0;          // borrowed
    virtual IOrvexRenderCommandFactory* getRenderCommandFactory() = 0;
    virtual IOrvexGraphics* getGraphics() = 0;
    virtual int32_t reserved9(uint32_t, uint32_t) = 0;
    virtual int32_t clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) = 0;
    virtual int32_t beginScene() = 0;
    virtual int32_t endScene() = 0;
    virtual int32_t present() = 0;
    virtual int32_t presentRect(Platform::Gpu::WindowHandle overrideWindow, const float* source,
                                const float* destination) = 0;
    virtual int32_t setRenderState(uint32_t index, bool value) = 0;
    virtual int32_t getRenderState(uint32_t index, bool* out) = 0;
    virtual void beginRecordStates() = 0;
    virtual void restoreRecordedStates() = 0;
    virtual int32_t setTextureFilter(uint32_t stage, uint32_t filter) = 0;
    virtual uint32_t getTextureFilter(uint32_t stage) = 0;
    virtual IOrvexTexture* getRenderTarget() = 0;  // borrowed
    virtual int32_t setRenderTarget(IOrvexTexture* texture) = 0;
    virtual int32_t setTexture(uint32_t stage, IOrvexTexture* texture) = 0;
    virtual int32_t setWorldTransform(const float* transform4x3) = 0;
    virtual int32_t getWorldTransform(float* out4x3) = 0;
    virtual int32_t setCamera(IOrvexCamera* camera) = 0;
    virtual IOrvexCamera* getCamera() = 0;
    virtual int32_t drawGrid(uint32_t ignored) = 0;
    virtual int32_t drawLines(const float (*points)[3], uint32_t lineCount, uint32_t argb) = 0;
    virtual int32_t reserved30(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) = 0;
    virtual int32_t drawBox(const OxOrientedBox* box, uint32_t argb) = 0;
    virtual int32_t drawSphere(const OxSphere* sphere, uint32_t argb) = 0;
    virtual int32_t drawMesh(IOrvexMesh* mesh) = 0;
    virtual int32_t drawRenderObject(IOrvexRenderObject* object) = 0;
    virtual int32_t drawParticles(IOrvexParticles* particles) = 0;
    // kOxOk while the device can draw, else kOxErrDeviceLost or kOxErrDeviceNotReset.
    virtual int32_t testDevice() = 0;

protected:
    virtual ~IOrvexRenderer() = default;
};

}  // namespace Orvex::Graphics
