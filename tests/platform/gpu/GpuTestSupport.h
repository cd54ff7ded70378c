#pragma once
// A small device and helpers shared by the device and rasterizer tests.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gpu/GpuDevice.h"

namespace Platform::Gpu::Test {

struct DeviceFixture : ::testing::Test {
    GpuSystem* system = nullptr;
    GpuDevice* device = nullptr;

    void SetUp() override { createDevice(32, 32); }
    void TearDown() override {
        safeRelease(device);
        safeRelease(system);
    }
    void createDevice(uint32_t width, uint32_t height) {
        safeRelease(device);
        if (system == nullptr) {
            system = createGpuSystem(kSdkVersion);
        }
        PresentParameters pp;
        pp.backBufferWidth = width;
        pp.backBufferHeight = height;
        pp.enableAutoDepthStencil = true;
        pp.autoDepthStencilFormat = kFormatD16;
        ASSERT_EQ(kOk, system->createDevice(0, kDeviceHal, 0, kCreateMultithreaded, &pp, &device));
    }
    // A managed texture filled from `texels` (row-major).
    GpuTexture* makeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& texels,
                            uint32_t format = kFormatA8R8G8B8) {
        GpuTexture* t = nullptr;
        EXPECT_EQ(kOk, device->createTexture(w, h, 1, 0, format, kPoolManaged, &t));
        LockedRect lr;
        EXPECT_EQ(kOk, t->lockRect(0, &lr, nullptr, 0));
        for (uint32_t y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<char*>(lr.bits) + y * lr.pitch);
            for (uint32_t x = 0; x < w; ++x) {
                row[x] = texels[y * w + x];
            }
        }
        EXPECT_EQ(kOk, t->unlockRect(0));
        return t;
    }
    uint32_t pixel(uint32_t x, uint32_t y) {
        GpuSurface* rt = nullptr;
        EXPECT_EQ(kOk, device->getRenderTarget(0, &rt));
        const uint32_t v = rt->image()->row(y)[x];
        rt->release();
        return v;
    }
    std::vector<uint32_t> targetPixels() {
        GpuSurface* rt = nullptr;
        EXPECT_EQ(kOk, device->getRenderTarget(0, &rt));
        std::vector<uint32_t> v = rt->image()->texels;
        rt->release();
        return v;
    }
    // The sprite drawer's set-up: no culling, linear filtering, blending per arguments.
    void spriteStates(bool blend, uint32_t src = kBlendSrcAlpha, uint32_t dst = kBlendInvSrcAlpha) {
        device->setRenderState(RenderState::CullMode, kCullNone);
        device->setRenderState(RenderState::AlphaTestEnable, 1);
        device->setRenderState(RenderState::AlphaRef, 8);
        device->setRenderState(RenderState::AlphaFunc, kCmpGreaterEqual);
        device->setRenderState(RenderState::AlphaBlendEnable, blend ? 1 : 0);
        device->setRenderState(RenderState::SrcBlend, src);
        device->setRenderState(RenderState::DestBlend, dst);
        device->setSamplerState(0, SamplerState::MagFilter, kFilterLinear);
        device->setSamplerState(0, SamplerState::MinFilter, kFilterLinear);
        device->setTextureStageState(0, StageState::AlphaOp, kOpModulate);
        device->setTextureStageState(0, StageState::ColorArg2, kArgDiffuse);
        device->setTextureStageState(0, StageState::AlphaArg2, kArgDiffuse);
    }
    // A textured quad as the sprite drawer sends it: positions already shifted by the caller.
    Result quad(float l, float t, float r, float b, float u0, float v0, float u1, float v1,
                uint32_t color = 0xFFFFFFFFu) {
        TexturedVertex v[4] = {{l, t, 0, 1, color, u0, v0},
                               {r, t, 0, 1, color, u1, v0},
                               {r, b, 0, 1, color, u1, v1},
                               {l, b, 0, 1, color, u0, v1}};
        device->setFvf(kFvfXyzRhw | kFvfDiffuse | kFvfTex1);
        return device->drawPrimitiveUp(kPrimitiveTriangleFan, 2, v, sizeof(TexturedVertex));
    }
    Result fillQuad(float l, float t, float r, float b, uint32_t color) {
        ColorVertex v[4] = {{l, t, 0, 1, color}, {r, t, 0, 1, color}, {r, b, 0, 1, color}, {l, b, 0, 1, color}};
        device->setFvf(kFvfXyzRhw | kFvfDiffuse);
        return device->drawPrimitiveUp(kPrimitiveTriangleFan, 2, v, sizeof(ColorVertex));
    }
};

}  // namespace Platform::Gpu::Test
