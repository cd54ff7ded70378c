#include <gtest/gtest.h>

#include "graphics/include/IOrvexGraphics.h"
#include "platform/kernel/SharedLibrary.h"

namespace Orvex::Graphics {
namespace {

TEST(GraphicsLibraryTest, CreatesGraphicsOnlyForItsVersion) {
    for (uint32_t version : {0x80000000u, 0x80000002u, 0u, 1u, 0xFFFFFFFFu}) {
        EXPECT_EQ(nullptr, OXCreateGraphics(version)) << std::hex << version;
    }
    IOrvexGraphics* graphics = OXCreateGraphics(kOxGraphicsVersion);
    ASSERT_NE(nullptr, graphics);
    EXPECT_EQ(1u, graphics->getRefCount());
    ASSERT_EQ(kOxOk, graphics->initialize(0, nullptr));
    IOrvexRenderer* renderer = nullptr;
    ASSERT_EQ(kOxOk, graphics->createRenderer(&renderer));
    renderer->clear(5, 0xFF204080u, 1, 0);
    ASSERT_EQ(kOxOk, renderer->beginScene());
    renderer->getSpriteDraw()->begin();
    const float white[4] = {1, 1, 1, 1};
    const OxRect box{0, 0, 4, 4};
    renderer->getSpriteDraw()->drawFill(white, &box);
    renderer->getSpriteDraw()->end();
    renderer->endScene();
    ASSERT_EQ(kOxOk, renderer->present());
    auto frame = graphics->getDevice()->getFrameMailbox()->latest();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(0xFFFFFFFFu, frame->pixels[0]);
    EXPECT_EQ(0xFF204080u, frame->pixels[10]);
    EXPECT_EQ(kOxOk, renderer->shutdown());
    EXPECT_EQ(0u, renderer->release());
    EXPECT_EQ(kOxOk, graphics->terminate());
    EXPECT_EQ(0u, graphics->release());
}

TEST(GraphicsLibraryTest, ExportsTheFactoryAndKeepsItsEngineToItself) {
    const Platform::Kernel::SharedLibrary library(ORVEX_GRAPHICS_LIBRARY);
    ASSERT_TRUE(library.loaded()) << library.error();
    EXPECT_NE(nullptr, library.symbol("OXCreateGraphics"));
    // The engine root, the thread manager and the renderer stay inside the library.
    for (const char* hidden : {"_ZN5Orvex14OxOrvexManagerC1Ev", "_ZN5Orvex14OxOrvexManagerD1Ev",
                               "_ZN5Orvex8Graphics10OxRenderer8shutdownEv", "_ZN5Orvex6System11engineStateEv"}) {
        EXPECT_EQ(nullptr, library.symbol(hidden)) << hidden;
    }
}

}  // namespace
}  // namespace Orvex::Graphics
