#include <gtest/gtest.h>

#include <set>

#include <atomic>
#include <thread>

#include "tests/platform/gpu/GpuTestSupport.h"

namespace Platform::Gpu::Test {
namespace {

using DeviceTest = DeviceFixture;

TEST_F(DeviceTest, CreationRefusesParametersItCannotHonour) {
    PresentParameters pp;
    pp.backBufferWidth = 16;
    pp.backBufferHeight = 16;
    GpuDevice* d = nullptr;
    struct Case {
        const char* name;
        uint32_t adapter;
        PresentParameters params;
    } cases[] = {
        {"adapter 1", 1, pp},
        {"zero width", 0,
         [&] {
             auto p = pp;
             p.backBufferWidth = 0;
             return p;
         }()},
        {"format with alpha", 0,
         [&] {
             auto p = pp;
             p.backBufferFormat = kFormatA8R8G8B8;
             return p;
         }()},
        {"two back buffers", 0,
         [&] {
             auto p = pp;
             p.backBufferCount = 2;
             return p;
         }()},
    };
    for (Case& c : cases) {
        EXPECT_EQ(kErrInvalidCall, system->createDevice(c.adapter, kDeviceHal, 0, 0, &c.params, &d)) << c.name;
        EXPECT_EQ(nullptr, d) << c.name;
    }
    EXPECT_EQ(kErrInvalidCall, system->createDevice(0, kDeviceHal, 0, 0, nullptr, &d));
}

TEST_F(DeviceTest, StartsWithThePlatformDefaultStates) {
    struct Case {
        RenderState state;
        uint32_t value;
    } renderCases[] = {
        {RenderState::ZEnable, 1},  // the device has a depth buffer
        {RenderState::AlphaTestEnable, 0},
        {RenderState::AlphaFunc, kCmpAlways},
        {RenderState::CullMode, kCullCounterClockwise},
        {RenderState::AlphaBlendEnable, 0},
        {RenderState::SrcBlend, kBlendOne},
        {RenderState::DestBlend, kBlendZero},
        {RenderState::Lighting, 1},
        {RenderState::ScissorTestEnable, 0},
    };
    for (const Case& c : renderCases) {
        uint32_t v = 0xDEAD;
        ASSERT_EQ(kOk, device->getRenderState(c.state, &v));
        EXPECT_EQ(c.value, v) << uint32_t(c.state);
    }
    uint32_t v = 0;
    device->getTextureStageState(0, StageState::AlphaOp, &v);
    EXPECT_EQ(uint32_t(kOpSelectArg1), v);
    device->getTextureStageState(0, StageState::AlphaArg2, &v);
    EXPECT_EQ(uint32_t(kArgCurrent), v);
    device->getTextureStageState(1, StageState::ColorOp, &v);
    EXPECT_EQ(uint32_t(kOpDisable), v);
    device->getSamplerState(7, SamplerState::MagFilter, &v);
    EXPECT_EQ(uint32_t(kFilterPoint), v);
    device->getSamplerState(0, SamplerState::AddressU, &v);
    EXPECT_EQ(uint32_t(kAddressWrap), v);
}

TEST_F(DeviceTest, RefusesStateValuesThePipelineDoesNotImplement) {
    EXPECT_EQ(kErrInvalidCall, device->setRenderState(RenderState::SrcBlend, 9));
    EXPECT_EQ(kErrInvalidCall, device->setRenderState(RenderState::FillMode, kFillPoint));
    EXPECT_EQ(kErrInvalidCall, device->setTextureStageState(0, StageState::ColorOp, 24));
    EXPECT_EQ(kErrInvalidCall, device->setTextureStageState(1, StageState::ColorOp, kOpModulate));
    EXPECT_EQ(kErrInvalidCall, device->setSamplerState(0, SamplerState::AddressU, 3));
    EXPECT_EQ(kErrInvalidCall, device->setTextureStageState(8, StageState::ColorOp, kOpModulate));
    EXPECT_EQ(kErrInvalidCall, device->setVertexShader(this));
    EXPECT_EQ(kOk, device->setVertexShader(nullptr));
    uint32_t v = 0;
    device->getRenderState(RenderState::SrcBlend, &v);
    EXPECT_EQ(uint32_t(kBlendOne), v);
    device->setFvf(kFvfXyz | kFvfNormal | 0x200);  // a second texture set is no format the device draws
    ColorVertex vertices[4]{};
    EXPECT_EQ(kErrInvalidCall, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, vertices, 20));
    device->setFvf(kFvfXyz | kFvfDiffuse);
    EXPECT_EQ(kErrInvalidCall, device->drawPrimitiveUp(kPrimitivePointList, 1, vertices, 16));
}

TEST_F(DeviceTest, ResetReturnsEveryStateToItsDefaultAndResizesTheBackBuffer) {
    device->setRenderState(RenderState::AlphaTestEnable, 1);
    device->setRenderState(RenderState::CullMode, kCullNone);
    device->setSamplerState(3, SamplerState::MinFilter, kFilterLinear);
    Light light;
    device->setLight(0, &light);
    device->lightEnable(0, true);
    GpuTexture* t = makeTexture(1, 1, {0xFFFFFFFFu});
    device->setTexture(0, t);
    PresentParameters pp;
    device->getPresentParameters(&pp);
    pp.backBufferWidth = 64;
    pp.backBufferHeight = 48;
    ASSERT_EQ(kOk, device->reset(&pp));
    uint32_t v = 0;
    device->getRenderState(RenderState::AlphaTestEnable, &v);
    EXPECT_EQ(0u, v);
    device->getRenderState(RenderState::CullMode, &v);
    EXPECT_EQ(uint32_t(kCullCounterClockwise), v);
    device->getSamplerState(3, SamplerState::MinFilter, &v);
    EXPECT_EQ(uint32_t(kFilterPoint), v);
    Light out;
    EXPECT_EQ(kErrInvalidCall, device->getLight(0, &out));
    GpuTexture* bound = t;
    device->getTexture(0, &bound);
    EXPECT_EQ(nullptr, bound);
    Viewport vp;
    device->getViewport(&vp);
    EXPECT_EQ(64u, vp.width);
    EXPECT_EQ(48u, vp.height);
    GpuSurface* back = nullptr;
    device->getBackBuffer(0, 0, &back);
    SurfaceDesc desc;
    back->getDesc(&desc);
    EXPECT_EQ(64u, desc.width);
    back->release();
    EXPECT_EQ(1u, t->refCount());  // the device let go of the bound texture
    t->release();
}

TEST_F(DeviceTest, ResetSucceedsWhileADefaultPoolTextureLives) {
    GpuTexture* managed = makeTexture(2, 2, {0, 0, 0, 0});
    GpuTexture* rt = nullptr;
    ASSERT_EQ(kOk, device->createTexture(8, 8, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &rt));
    device->setTexture(0, rt);  // a binding is the device's reference, not the caller's
    PresentParameters pp;
    device->getPresentParameters(&pp);
    EXPECT_EQ(kOk, device->reset(&pp));
    EXPECT_EQ(kOk, device->testCooperativeLevel());
    EXPECT_EQ(1u, rt->refCount());  // the binding went with the reset; the caller's stays
    LockedRect lr;
    EXPECT_EQ(kOk, rt->lockRect(0, &lr, nullptr, 0));  // still usable
    rt->unlockRect(0);
    EXPECT_EQ(kOk, managed->lockRect(0, &lr, nullptr, kLockReadOnly));  // managed textures survive
    managed->unlockRect(0);
    rt->release();
    managed->release();
}

TEST_F(DeviceTest, SimulatedLossRunsTheLostAndResetPaths) {
    PresentParameters pp;
    device->getPresentParameters(&pp);
    EXPECT_EQ(kOk, device->present(nullptr, nullptr, 0));
    device->simulateDeviceLoss(false);
    EXPECT_EQ(kErrDeviceLost, device->testCooperativeLevel());
    EXPECT_EQ(kErrDeviceLost, device->present(nullptr, nullptr, 0));
    EXPECT_EQ(kErrDeviceLost, device->reset(&pp));
    device->simulateDeviceLoss(true);
    EXPECT_EQ(kErrDeviceNotReset, device->testCooperativeLevel());
    EXPECT_EQ(kErrDeviceLost, device->present(nullptr, nullptr, 0));
    EXPECT_EQ(kOk, device->reset(&pp));
    EXPECT_EQ(kOk, device->testCooperativeLevel());
    EXPECT_EQ(kOk, device->present(nullptr, nullptr, 0));
    EXPECT_EQ(2u, device->getFrameMailbox()->postedCount());
}

TEST_F(DeviceTest, PresentLeavesTheFrameInTheMailboxWithoutWaiting) {
    auto mailbox = device->getFrameMailbox();
    EXPECT_EQ(nullptr, mailbox->take());
    std::vector<uint64_t> sunk;
    device->setFrameSink([&sunk](const std::shared_ptr<const Frame>& f) { sunk.push_back(f->sequence); });
    device->clear(0, nullptr, kClearTarget, 0x00123456u, 1, 0);
    ASSERT_EQ(kOk, device->beginScene());
    EXPECT_EQ(kErrInvalidCall, device->beginScene());
    EXPECT_EQ(kErrInvalidCall, device->present(nullptr, nullptr, 0));
    ASSERT_EQ(kOk, device->endScene());
    ASSERT_EQ(kOk, device->present(nullptr, nullptr, 0));
    ASSERT_EQ(kOk, device->present(nullptr, nullptr, 0));  // replaces the unread frame
    auto frame = mailbox->take();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(2u, frame->sequence);
    EXPECT_EQ(32u, frame->width);
    EXPECT_EQ(0xFF123456u, frame->pixels[5 * 32 + 7]);
    EXPECT_EQ(nullptr, mailbox->take());
    EXPECT_EQ(frame, mailbox->latest());
    EXPECT_EQ((std::vector<uint64_t>{1, 2}), sunk);  // the sink sees every frame
    device->setFrameSink({});
}

// Frames nobody holds any more are filled again: a steady stream of presents allocates nothing,
// and a frame a reader still holds is never overwritten.
TEST_F(DeviceTest, PresentReusesFramesOnceNobodyHoldsThem) {
    auto mailbox = device->getFrameMailbox();
    device->clear(0, nullptr, kClearTarget, 0x00ABCDEFu, 1, 0);
    ASSERT_EQ(kOk, device->present(nullptr, nullptr, 0));
    std::shared_ptr<const Frame> held = mailbox->latest();
    const uint32_t* heldPixels = held->pixels.data();
    device->clear(0, nullptr, kClearTarget, 0x00123456u, 1, 0);
    std::set<const uint32_t*> storage;
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(kOk, device->present(nullptr, nullptr, 0));
        storage.insert(mailbox->latest()->pixels.data());
    }
    EXPECT_EQ(0u, storage.count(heldPixels));
    EXPECT_EQ(0xFFABCDEFu, held->pixels[0]);
    EXPECT_LE(storage.size(), 2u);
    EXPECT_EQ(0xFF123456u, mailbox->latest()->pixels[0]);
}

TEST_F(DeviceTest, SetRenderTargetTakesOnlyRenderTargetsAndResetsTheViewport) {
    GpuTexture* rt = nullptr;
    ASSERT_EQ(kOk, device->createTexture(20, 10, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &rt));
    GpuTexture* plain = makeTexture(1, 1, {0});
    GpuSurface* rtLevel = nullptr;
    GpuSurface* plainLevel = nullptr;
    rt->getSurfaceLevel(0, &rtLevel);
    plain->getSurfaceLevel(0, &plainLevel);
    EXPECT_EQ(kErrInvalidCall, device->setRenderTarget(0, plainLevel));
    EXPECT_EQ(kErrInvalidCall, device->setRenderTarget(0, nullptr));
    const Viewport small{1, 1, 4, 4, 0, 1};
    device->setViewport(&small);
    ASSERT_EQ(kOk, device->setRenderTarget(0, rtLevel));
    Viewport vp;
    device->getViewport(&vp);
    EXPECT_EQ(0u, vp.x);
    EXPECT_EQ(20u, vp.width);
    EXPECT_EQ(10u, vp.height);
    const Viewport tooWide{0, 0, 21, 10, 0, 1};
    EXPECT_EQ(kErrInvalidCall, device->setViewport(&tooWide));
    GpuSurface* back = nullptr;
    device->getBackBuffer(0, 0, &back);
    device->setRenderTarget(0, back);
    back->release();
    plainLevel->release();
    rtLevel->release();
    plain->release();
    rt->release();
}

TEST_F(DeviceTest, LocksAreExclusiveAndUpdateSurfaceCopiesSystemMemory) {
    GpuSurface* staging = nullptr;
    ASSERT_EQ(kOk, device->createOffscreenPlainSurface(4, 2, kFormatA8R8G8B8, kPoolSystemMem, &staging));
    LockedRect lr;
    ASSERT_EQ(kOk, staging->lockRect(&lr, nullptr, 0));
    EXPECT_EQ(16, lr.pitch);
    EXPECT_EQ(kErrInvalidCall, staging->lockRect(&lr, nullptr, 0));
    static_cast<uint32_t*>(lr.bits)[4 + 3] = 0x11223344u;
    GpuTexture* movie = nullptr;
    ASSERT_EQ(kOk, device->createTexture(4, 2, 1, kUsageRenderTarget, kFormatA8R8G8B8, kPoolDefault, &movie));
    GpuSurface* level = nullptr;
    movie->getSurfaceLevel(0, &level);
    EXPECT_EQ(kErrInvalidCall, device->updateSurface(staging, nullptr, level, nullptr));  // still locked
    ASSERT_EQ(kOk, staging->unlockRect());
    EXPECT_EQ(kErrInvalidCall, staging->unlockRect());
    ASSERT_EQ(kOk, device->updateSurface(staging, nullptr, level, nullptr));
    EXPECT_EQ(0x11223344u, level->image()->row(1)[3]);
    EXPECT_EQ(kErrInvalidCall, device->updateSurface(level, nullptr, staging, nullptr));  // wrong pools
    level->release();
    movie->release();
    staging->release();
}

TEST_F(DeviceTest, TexturesMadeOnAnotherThreadWhileDrawingStayConsistent) {
    std::atomic<bool> stop{false};
    std::atomic<int> made{0};
    std::thread worker([&] {
        for (int i = 0; i < 300 && !stop; ++i) {
            GpuTexture* t = nullptr;
            if (device->createTexture(16, 16, 1, 0, kFormatA8R8G8B8, kPoolManaged, &t) == kOk) {
                LockedRect lr;
                t->lockRect(0, &lr, nullptr, 0);
                static_cast<uint32_t*>(lr.bits)[0] = 0xFFFFFFFFu;
                t->unlockRect(0);
                device->setTexture(1, nullptr);
                t->release();
                ++made;
            }
        }
    });
    GpuTexture* t = makeTexture(1, 1, {0xFF00FF00u});
    spriteStates(true);
    device->setTexture(0, t);
    for (int i = 0; i < 300; ++i) {
        quad(-0.5f, -0.5f, 31.5f, 31.5f, 0, 0, 1, 1);
    }
    worker.join();
    EXPECT_EQ(300, made.load());
    EXPECT_EQ(0xFF00FF00u, pixel(10, 10));
    t->release();
}

}  // namespace
}  // namespace Platform::Gpu::Test
