#include <gtest/gtest.h>

#include "graphics/include/IOrvexGeometryExporter.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace Orvex::Graphics::Test {
namespace {

using namespace Platform::Gpu;

struct UninitialisedTest : ::testing::Test {
    IOrvexGraphics* graphics = new OxGraphics();
    void TearDown() override { graphics->release(); }
};

TEST_F(UninitialisedTest, FactoriesAndTerminateNeedADevice) {
    EXPECT_FALSE(graphics->isInitialized());
    EXPECT_FALSE(graphics->getFlag());
    IOrvexRenderer* renderer = nullptr;
    EXPECT_EQ(kOxErrNotInitialized, graphics->createRenderer(&renderer));
    EXPECT_EQ(kOxErrNotInitialized, graphics->createRenderer(nullptr));
    IOrvexCamera* camera = nullptr;
    EXPECT_EQ(kOxErrNotInitialized, graphics->createCamera(&camera));
    EXPECT_EQ(kOxErrNotInitialized, graphics->terminate());
    EXPECT_EQ(nullptr, renderer);
    OxViewportRect vp;
    EXPECT_EQ(kOxErrFailed, graphics->getViewport(&vp));
    EXPECT_EQ(kOxErrInvalidArgument, graphics->getViewport(nullptr));
}

TEST_F(UninitialisedTest, InitializeWithoutParametersOpensTheDefaultWindowedDevice) {
    ASSERT_EQ(kOxOk, graphics->initialize(0, nullptr));
    ASSERT_TRUE(graphics->isInitialized());
    ASSERT_NE(nullptr, graphics->getDirect3D());
    PresentParameters pp;
    graphics->getDevice()->getPresentParameters(&pp);
    EXPECT_EQ(640u, pp.backBufferWidth);
    EXPECT_EQ(480u, pp.backBufferHeight);
    EXPECT_TRUE(pp.windowed);
    EXPECT_EQ(uint32_t(kSwapCopy), pp.swapEffect);
    EXPECT_EQ(uint32_t(kPresentIntervalImmediate), pp.presentationInterval);
    EXPECT_EQ(uint32_t(kFormatD16), pp.autoDepthStencilFormat);
    OxViewportRect vp;
    ASSERT_EQ(kOxOk, graphics->getViewport(&vp));
    EXPECT_EQ(640u, vp.width);
    EXPECT_EQ(480u, vp.height);
    struct Case {
        RenderState state;
        uint32_t value;
    } cases[] = {{RenderState::AlphaTestEnable, 1},          {RenderState::AlphaRef, 8},
                 {RenderState::AlphaFunc, kCmpGreaterEqual}, {RenderState::CullMode, kCullClockwise},
                 {RenderState::AlphaBlendEnable, 1},         {RenderState::ScissorTestEnable, 1}};
    for (const Case& c : cases) {
        uint32_t v = 0;
        graphics->getDevice()->getRenderState(c.state, &v);
        EXPECT_EQ(c.value, v) << uint32_t(c.state);
    }
    bool lit = false;
    EXPECT_EQ(kOk, graphics->getDevice()->getLightEnable(0, &lit));
    EXPECT_TRUE(lit);
    EXPECT_EQ(kOxOk, graphics->terminate());
    EXPECT_FALSE(graphics->isInitialized());
    EXPECT_EQ(kOxErrNotInitialized, graphics->terminate());
}

TEST_F(UninitialisedTest, RestoreViewportReturnsToTheRectangleBeforeTheLastSet) {
    OxGraphicsParameters p;
    p.fullScreen = 1;
    p.width = 800;
    p.height = 600;
    ASSERT_EQ(kOxOk, graphics->initialize(0, &p));
    PresentParameters pp;
    graphics->getDevice()->getPresentParameters(&pp);
    EXPECT_FALSE(pp.windowed);
    EXPECT_EQ(uint32_t(kSwapDiscard), pp.swapEffect);
    const OxViewportRect small{0, 0, 320, 240};
    ASSERT_EQ(kOxOk, graphics->setViewport(&small));
    OxViewportRect vp;
    graphics->getViewport(&vp);
    EXPECT_EQ(320u, vp.width);
    IntRect scissor;
    graphics->getDevice()->getScissorRect(&scissor);
    EXPECT_EQ(320, scissor.right);
    EXPECT_EQ(240, scissor.bottom);
    ASSERT_EQ(kOxOk, graphics->restoreViewport());
    graphics->getViewport(&vp);
    EXPECT_EQ(800u, vp.width);
    EXPECT_EQ(600u, vp.height);
    EXPECT_EQ(kOxErrInvalidArgument, graphics->setViewport(nullptr));
    graphics->terminate();
}

TEST_F(UninitialisedTest, FactoriesRefuseANullOutParameterAndMatricesAreTransposed) {
    ASSERT_EQ(kOxOk, graphics->initialize(0, nullptr));
    EXPECT_EQ(kOxErrInvalidArgument, graphics->createRenderer(nullptr));
    EXPECT_EQ(kOxErrInvalidArgument, graphics->createStaticMesh(nullptr));
    EXPECT_EQ(kOxErrInvalidArgument, graphics->setProjectionMatrix(nullptr));
    OxMatrix m;
    m.m[0][3] = 5;  // a translation as a column-vector matrix holds it
    ASSERT_EQ(kOxOk, graphics->setViewMatrix(&m));
    Matrix device;
    graphics->getDevice()->getTransform(kTransformView, &device);
    EXPECT_EQ(5.0f, device.m[3][0]);
    ASSERT_EQ(kOxOk, graphics->setWorldMatrix(&m));
    graphics->getDevice()->getTransform(kTransformWorld, &device);
    EXPECT_EQ(5.0f, device.m[0][3]);
    graphics->terminate();
}

TEST_F(UninitialisedTest, GeometryExporterKeepsItsGraphicsObject) {
    IOrvexGeometryExporter* exporter = nullptr;
    EXPECT_EQ(kOxErrNotInitialized, graphics->createGeometryExporter(&exporter));
    ASSERT_EQ(kOxOk, graphics->initialize(0, nullptr));
    EXPECT_EQ(kOxErrInvalidArgument, graphics->createGeometryExporter(nullptr));
    const uint32_t before = graphics->getRefCount();
    ASSERT_EQ(kOxOk, graphics->createGeometryExporter(&exporter));
    ASSERT_NE(nullptr, exporter);
    EXPECT_EQ(1u, exporter->getRefCount());
    EXPECT_EQ(graphics, exporter->getGraphics());
    EXPECT_EQ(before + 1, graphics->getRefCount());
    exporter->release();
    EXPECT_EQ(before, graphics->getRefCount());
    graphics->terminate();
}

}  // namespace
}  // namespace Orvex::Graphics::Test
