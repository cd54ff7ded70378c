#pragma once
// Test doubles of the graphics library's interfaces: a sprite drawer that records what it is
// asked to draw, a texture with a real reference count and a renderer/graphics pair (gmock) that
// hands them out.
#include <gmock/gmock.h>

#include <atomic>
#include <string>
#include <vector>

#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::Graphics::Testing {

class CountedTexture : public IOrvexTexture {
public:
    CountedTexture(uint32_t width, uint32_t height) : width_(width), height_(height) {}
    uint32_t retain() override { return ++refs_; }
    uint32_t release() override {
        const uint32_t left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    uint32_t getRefCount() const override { return refs_; }
    int32_t setData(IOrvexTextureData*) override { return 0; }
    IOrvexTextureData* getData() override { return nullptr; }
    uint32_t getWidth() const override { return width_; }
    uint32_t getHeight() const override { return height_; }
    const char16_t* getName() const override { return nullptr; }

private:
    ~CountedTexture() override = default;
    std::atomic<uint32_t> refs_{1};
    uint32_t width_;
    uint32_t height_;
};

// One recorded draw: a fill (texture null, fill true) or a textured quad.
struct DrawCall {
    bool fill = false;
    IOrvexTexture* texture = nullptr;
    OxRect destination;
    bool hasDestination = true;
    bool hasSource = false;
    OxRect source;
    float colour[4] = {};  // the fill colour or the diffuse colour at the time of the draw
};

class RecordingSpriteDraw : public IOrvexSpriteDraw {
public:
    uint32_t retain() override { return 1; }
    uint32_t release() override { return 1; }
    uint32_t getRefCount() const override { return 1; }
    int32_t begin() override {
        ++beginCalls;
        if (open) {
            return kOxErrFailed;  // a second begin
        }
        open = true;
        return kOxOk;
    }
    int32_t end() override {
        ++endCalls;
        if (!open) {
            return kOxErrFailed;
        }
        open = false;
        return kOxOk;
    }
    void resetStates() override { ++resetCalls; }
    void setTextureBlendMode(uint32_t mode) override { textureBlend = mode; }
    uint32_t getTextureBlendMode() const override { return textureBlend; }
    void setDiffuseBlendMode(uint32_t mode) override { diffuseBlend = mode; }
    uint32_t getDiffuseBlendMode() const override { return diffuseBlend; }
    void setDiffuseColor(float r, float g, float b, float a) override {
        diffuse[0] = r;
        diffuse[1] = g;
        diffuse[2] = b;
        diffuse[3] = a;
    }
    void getDiffuseColor(float out[4]) const override {
        for (int i = 0; i < 4; ++i) {
            out[i] = diffuse[i];
        }
    }
    int32_t drawFill(const float color[4], const OxRect* destination) override {
        DrawCall call;
        call.fill = true;
        call.destination = *destination;
        for (int i = 0; i < 4; ++i) {
            call.colour[i] = color[i];
        }
        calls.push_back(call);
        return kOxOk;
    }
    int32_t draw(IOrvexTexture* texture, const OxRect* destination, const OxRect* source) override {
        if (texture == nullptr) {
            return kOxErrInvalidArgument;  // the drawer refuses a null texture
        }
        DrawCall call;
        call.texture = texture;
        call.hasDestination = destination != nullptr;  // none: the whole texture at its own size
        if (destination != nullptr) {
            call.destination = *destination;
        }
        call.hasSource = source != nullptr;
        if (source != nullptr) {
            call.source = *source;
        }
        for (int i = 0; i < 4; ++i) {
            call.colour[i] = diffuse[i];
        }
        calls.push_back(call);
        return kOxOk;
    }
    int32_t drawCenterRotationZ(IOrvexTexture* texture, const OxRect* destination, const OxRect* source,
                                float) override {
        return draw(texture, destination, source);
    }

    bool open = false;
    int beginCalls = 0;
    int endCalls = 0;
    int resetCalls = 0;
    uint32_t textureBlend = 0;
    uint32_t diffuseBlend = 0;
    float diffuse[4] = {1, 1, 1, 1};
    std::vector<DrawCall> calls;
};

// Makes a texture of each opened source, named after the source; refuses sources whose name
// contains "broken".
class RecordingTextureManager : public IOrvexTextureManager {
public:
    uint32_t retain() override { return 1; }
    uint32_t release() override { return 1; }
    uint32_t getRefCount() const override { return 1; }
    int32_t createTexture(IOrvexTexture** out, Reader* source) override {
        *out = nullptr;
        if (source == nullptr || !source->isOpen()) {
            return kOxErrInvalidArgument;
        }
        const std::u16string name = source->getFileName();
        sources.push_back(name);
        if (name.find(u"broken") != std::u16string::npos) {
            return kOxErrFailed;
        }
        *out = new CountedTexture(256, 256);
        return kOxOk;
    }
    int32_t createTextureFromFile(IOrvexTexture**, const std::u16string*) override { return kOxErrFailed; }
    int32_t createRenderTargetTexture(IOrvexTexture**, uint32_t, uint32_t, uint32_t) override { return kOxErrFailed; }
    int32_t getTextureData(IOrvexTextureData**, Reader*) override { return kOxErrFailed; }
    int32_t getTextureDataFromFile(IOrvexTextureData**, const std::u16string*) override { return kOxErrFailed; }
    int32_t createRenderTargetData(IOrvexTextureData**, uint32_t, uint32_t, uint32_t) override { return kOxErrFailed; }
    int32_t saveTextureToFile(IOrvexTexture*, const std::u16string*) override { return kOxErrFailed; }
    void clear() override {}
    void releaseUnused() override {}
    bool contains(const std::u16string*) override { return false; }
    void releaseTexture(const std::u16string*) override {}

    std::vector<std::u16string> sources;
};

class MockGraphics : public IOrvexGraphics {
public:
    MOCK_METHOD(uint32_t, retain, (), (override));
    MOCK_METHOD(uint32_t, release, (), (override));
    MOCK_METHOD(uint32_t, getRefCount, (), (const, override));
    MOCK_METHOD(int32_t, initialize, (Platform::Gpu::WindowHandle, const OxGraphicsParameters*), (override));
    MOCK_METHOD(int32_t, setDevice, (Platform::Gpu::GpuDevice*), (override));
    MOCK_METHOD(int32_t, terminate, (), (override));
    MOCK_METHOD(bool, isInitialized, (), (const, override));
    MOCK_METHOD(bool, getFlag, (), (const, override));
    MOCK_METHOD(Platform::Gpu::GpuSystem*, getDirect3D, (), (override));
    MOCK_METHOD(Platform::Gpu::GpuDevice*, getDevice, (), (override));
    MOCK_METHOD(int32_t, createRenderer, (IOrvexRenderer**), (override));
    MOCK_METHOD(int32_t, createGeometryImporter, (IOrvexGeometryImporter**), (override));
    MOCK_METHOD(int32_t, createGeometryExporter, (IOrvexGeometryExporter**), (override));
    MOCK_METHOD(int32_t, createGeometry, (IOrvexGeometry**), (override));
    MOCK_METHOD(int32_t, createParticles, (IOrvexParticles**), (override));
    MOCK_METHOD(int32_t, createStaticMesh, (IOrvexStaticMesh**), (override));
    MOCK_METHOD(int32_t, createSkinnedMesh, (IOrvexSkinnedMesh**), (override));
    MOCK_METHOD(int32_t, createCamera, (IOrvexCamera**), (override));
    MOCK_METHOD(int32_t, getViewport, (OxViewportRect*), (override));
    MOCK_METHOD(int32_t, setViewport, (const OxViewportRect*), (override));
    MOCK_METHOD(int32_t, restoreViewport, (), (override));
    MOCK_METHOD(int32_t, setProjectionMatrix, (const OxMatrix*), (override));
    MOCK_METHOD(int32_t, setViewMatrix, (const OxMatrix*), (override));
    MOCK_METHOD(int32_t, setWorldMatrix, (const OxMatrix*), (override));
    ~MockGraphics() override = default;
};

class MockRenderer : public IOrvexRenderer {
public:
    MOCK_METHOD(uint32_t, retain, (), (override));
    MOCK_METHOD(uint32_t, release, (), (override));
    MOCK_METHOD(uint32_t, getRefCount, (), (const, override));
    MOCK_METHOD(int32_t, shutdown, (), (override));
    MOCK_METHOD(int32_t, reset, (const OxGraphicsParameters*), (override));
    MOCK_METHOD(IOrvexTextureManager*, getTextureManager, (), (override));
    MOCK_METHOD(IOrvexSpriteDraw*, getSpriteDraw, (), (override));
    MOCK_METHOD(IOrvexRenderCommandFactory*, getRenderCommandFactory, (), (override));
    MOCK_METHOD(IOrvexGraphics*, getGraphics, (), (override));
    MOCK_METHOD(int32_t, reserved9, (uint32_t, uint32_t), (override));
    MOCK_METHOD(int32_t, clear, (uint32_t, uint32_t, float, uint32_t), (override));
    MOCK_METHOD(int32_t, beginScene, (), (override));
    MOCK_METHOD(int32_t, endScene, (), (override));
    MOCK_METHOD(int32_t, present, (), (override));
    MOCK_METHOD(int32_t, presentRect, (Platform::Gpu::WindowHandle, const float*, const float*), (override));
    MOCK_METHOD(int32_t, setRenderState, (uint32_t, bool), (override));
    MOCK_METHOD(int32_t, getRenderState, (uint32_t, bool*), (override));
    MOCK_METHOD(void, beginRecordStates, (), (override));
    MOCK_METHOD(void, restoreRecordedStates, (), (override));
    MOCK_METHOD(int32_t, setTextureFilter, (uint32_t, uint32_t), (override));
    MOCK_METHOD(uint32_t, getTextureFilter, (uint32_t), (override));
    MOCK_METHOD(IOrvexTexture*, getRenderTarget, (), (override));
    MOCK_METHOD(int32_t, setRenderTarget, (IOrvexTexture*), (override));
    MOCK_METHOD(int32_t, setTexture, (uint32_t, IOrvexTexture*), (override));
    MOCK_METHOD(int32_t, setWorldTransform, (const float*), (override));
    MOCK_METHOD(int32_t, getWorldTransform, (float*), (override));
    MOCK_METHOD(int32_t, setCamera, (IOrvexCamera*), (override));
    MOCK_METHOD(IOrvexCamera*, getCamera, (), (override));
    MOCK_METHOD(int32_t, drawGrid, (uint32_t), (override));
    MOCK_METHOD(int32_t, drawLines, (const float (*)[3], uint32_t, uint32_t), (override));
    MOCK_METHOD(int32_t, reserved30, (uint32_t, uint32_t, uint32_t, uint32_t, uint32_t), (override));
    MOCK_METHOD(int32_t, drawBox, (const OxOrientedBox*, uint32_t), (override));
    MOCK_METHOD(int32_t, drawSphere, (const OxSphere*, uint32_t), (override));
    MOCK_METHOD(int32_t, drawMesh, (IOrvexMesh*), (override));
    MOCK_METHOD(int32_t, drawRenderObject, (IOrvexRenderObject*), (override));
    MOCK_METHOD(int32_t, drawParticles, (IOrvexParticles*), (override));
    MOCK_METHOD(int32_t, testDevice, (), (override));
    ~MockRenderer() override = default;
};

// A renderer whose sprite drawer records and whose graphics object reports an 800 x 600 viewport.
struct RendererRig {
    ::testing::NiceMock<MockRenderer> renderer;
    ::testing::NiceMock<MockGraphics> graphics;
    RecordingSpriteDraw sprite;
    RecordingTextureManager textures;

    RendererRig() {
        using ::testing::_;
        using ::testing::Return;
        ON_CALL(renderer, getSpriteDraw()).WillByDefault(Return(&sprite));
        ON_CALL(renderer, getGraphics()).WillByDefault(Return(&graphics));
        ON_CALL(renderer, getTextureManager()).WillByDefault(Return(&textures));
        ON_CALL(graphics, getViewport(_)).WillByDefault([](OxViewportRect* out) {
            out->x = 0;
            out->y = 0;
            out->width = 800;
            out->height = 600;
            return kOxOk;
        });
    }
};

}  // namespace Orvex::Graphics::Testing
