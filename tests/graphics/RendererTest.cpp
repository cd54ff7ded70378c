#include <gtest/gtest.h>

#include "tests/graphics/GraphicsTestSupport.h"

namespace Orvex::Graphics::Test {
namespace {

using namespace Platform::Gpu;
using RendererTest = GraphicsFixture;

TEST_F(RendererTest, DrawsIntoAnOffScreenTargetThatPresentCopiesToTheWindow) {
    IOrvexTexture* target = renderer->getRenderTarget();
    ASSERT_NE(nullptr, target);
    EXPECT_EQ(160u, target->getWidth());
    EXPECT_EQ(120u, target->getHeight());
    for (uint32_t stage = 0; stage < 8; ++stage) {
        EXPECT_EQ(uint32_t(kOxFilterLinear), renderer->getTextureFilter(stage)) << stage;
    }
    ASSERT_EQ(kOxOk, renderer->clear(5, 0xFF000000u | 0x336699u, 1.0f, 0));
    ASSERT_EQ(kOxOk, renderer->beginScene());
    sprite()->begin();
    const float red[4] = {1, 0, 0, 1};
    const OxRect box{10, 10, 20, 20};
    sprite()->drawFill(red, &box);
    sprite()->end();
    ASSERT_EQ(kOxOk, renderer->endScene());
    ASSERT_EQ(kOxOk, renderer->present());
    auto frame = device->getFrameMailbox()->latest();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(0xFFFF0000u, frame->pixels[15 * 160 + 15]);
    EXPECT_EQ(0xFF336699u, frame->pixels[5 * 160 + 5]);
    // After present the frame target is the render target again.
    ASSERT_EQ(kOxOk, renderer->beginScene());
    sprite()->begin();
    const float green[4] = {0, 1, 0, 1};
    sprite()->drawFill(green, &box);
    sprite()->end();
    renderer->endScene();
    EXPECT_EQ(0xFF00FF00u, at(15, 15));
    EXPECT_EQ(frame, device->getFrameMailbox()->latest());
}

TEST_F(RendererTest, RenderStateIndicesRecordingAndRestore) {
    EXPECT_EQ(kOxErrInvalidArgument, renderer->setRenderState(4, true));
    bool value = false;
    EXPECT_EQ(kOxErrInvalidArgument, renderer->getRenderState(4, &value));
    EXPECT_EQ(kOxErrInvalidArgument, renderer->getRenderState(1, nullptr));
    ASSERT_EQ(kOxOk, renderer->getRenderState(1, &value));
    ASSERT_TRUE(value);
    renderer->beginRecordStates();
    renderer->setRenderState(1, false);
    renderer->setRenderState(1, true);
    renderer->setRenderState(2, false);
    renderer->restoreRecordedStates();  // replayed last to first: depth write ends as it was
    renderer->getRenderState(1, &value);
    EXPECT_TRUE(value);
    renderer->getRenderState(2, &value);
    EXPECT_TRUE(value);
    // endScene while recording drops the entries.
    renderer->beginScene();
    renderer->beginRecordStates();
    renderer->setRenderState(0, false);
    renderer->endScene();
    renderer->restoreRecordedStates();
    renderer->getRenderState(0, &value);
    EXPECT_FALSE(value);
    EXPECT_EQ(kOxOk, renderer->setRenderState(3, true));
    ASSERT_EQ(kOxOk, renderer->getRenderState(3, &value));
    EXPECT_TRUE(value);
}

TEST_F(RendererTest, LostDeviceRefusesScenesUntilAResetSucceeds) {
    const size_t registered = renderer->registeredCount();
    OxDXTexture* targetTexture = textureDataOf(renderer->getRenderTarget())->getDXTexture();
    device->simulateDeviceLoss(false);
    EXPECT_EQ(kOxErrFailed, renderer->present());
    EXPECT_TRUE(renderer->isDeviceLost());
    EXPECT_EQ(kOxErrDeviceLost, renderer->testDevice());
    EXPECT_EQ(kOxErrFailed, renderer->beginScene());
    // Not resettable yet: a reset without parameters tells no object anything.
    EXPECT_EQ(kOxErrFailed, renderer->reset(nullptr));
    EXPECT_FALSE(targetTexture->isEmpty());
    device->simulateDeviceLoss(true);
    EXPECT_EQ(kOxErrDeviceNotReset, renderer->testDevice());
    EXPECT_EQ(kOxErrFailed, renderer->beginScene());
    ASSERT_EQ(kOxOk, renderer->reset(nullptr));
    EXPECT_EQ(kOxOk, renderer->testDevice());
    EXPECT_FALSE(renderer->isDeviceLost());
    EXPECT_FALSE(targetTexture->isEmpty());  // made again, empty
    EXPECT_EQ(registered, renderer->registeredCount());
    EXPECT_EQ(0u, targetTexture->getTexture()->image()->row(5)[5] & 0xFFFFFFu);
    ASSERT_EQ(kOxOk, renderer->beginScene());
    renderer->endScene();
    EXPECT_EQ(kOxOk, renderer->present());
    // A reset with parameters changes the back buffer; the device's states are its defaults
    // again and nothing re-applies them.
    OxGraphicsParameters p;
    p.width = 320;
    p.height = 240;
    ASSERT_EQ(kOxOk, renderer->reset(&p));
    uint32_t alphaTest = 1;
    device->getRenderState(RenderState::AlphaTestEnable, &alphaTest);
    EXPECT_EQ(0u, alphaTest);
    ASSERT_EQ(kOxOk, renderer->present());
    EXPECT_EQ(320u, device->getFrameMailbox()->latest()->width);
}

TEST_F(RendererTest, ResetIsRefusedWhileTheDeviceStaysLostAndCanBeRetried) {
    device->simulateDeviceLoss(false);
    OxGraphicsParameters p;
    p.width = 160;
    p.height = 120;
    EXPECT_EQ(kOxErrFailed, renderer->reset(&p));  // the device itself refuses
    device->simulateDeviceLoss(true);
    EXPECT_EQ(kOxOk, renderer->reset(&p));
    EXPECT_EQ(kOxOk, renderer->present());
}

TEST_F(RendererTest, ShutdownFailsWhileATextureIsHeldAndTargetsMustBeRenderTargets) {
    FallbackImage fallback;
    IOrvexTexture* t = textureFrom(u"Image\\a.png", pngBytes(4, 4, [](int, int) { return 0xFFFFFFFFu; }));
    EXPECT_EQ(kOxErrInvalidArgument, renderer->setRenderTarget(t));
    EXPECT_EQ(kOxErrInvalidArgument, renderer->setRenderTarget(nullptr));
    EXPECT_EQ(kOxErrInvalidArgument, renderer->setTexture(0, nullptr));
    EXPECT_EQ(kOxOk, renderer->setTexture(0, t));
    EXPECT_EQ(kOxErrFailed, renderer->shutdown());
    t->release();
    device->setTexture(0, nullptr);
    EXPECT_EQ(kOxOk, renderer->shutdown());
}

TEST_F(RendererTest, WorldTransformRoundTripsThroughTheFourByThreeLayout) {
    const float t[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_EQ(kOxOk, renderer->setWorldTransform(t));
    Matrix m;
    device->getTransform(kTransformWorld, &m);
    EXPECT_EQ(2.0f, m.m[1][0]);  // element 1 of column 0
    EXPECT_EQ(4.0f, m.m[0][1]);
    EXPECT_EQ(11.0f, m.m[3][1]);
    EXPECT_EQ(1.0f, m.m[3][3]);
    float out[12];
    ASSERT_EQ(kOxOk, renderer->getWorldTransform(out));
    EXPECT_EQ(0, std::memcmp(t, out, sizeof t));
}

}  // namespace
}  // namespace Orvex::Graphics::Test
