#include "engine/window/OxWindowBase.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Window.h"
#include "tests/engine/window/WindowTestSupport.h"

namespace Orvex::Window {
namespace {

namespace Pw = Platform::Window;
using Testing::eventually;
using Testing::kWaitLimitMs;
using Testing::TestWindow;

class OxWindowBaseTest : public ::testing::Test {
protected:
    void TearDown() override { Thread::OxThreadManager::release(); }

    bool startAndWaitCreated(TestWindow& window) {
        // Once the window is in front its activation message is queued; messages posted after
        // that cannot be overtaken by it.
        return window.start() == 0 && Platform::Kernel::waitForOne(window.created, kWaitLimitMs) == 0 &&
               eventually([&] { return Pw::isForeground(window.getHandle()); });
    }
};

TEST_F(OxWindowBaseTest, PostedCloseEndsTheLoopAndTerminatesOnceInEitherLoopMode) {
    for (const bool blocking : {false, true}) {
        SCOPED_TRACE(blocking ? "blocking loop" : "polling loop");
        {
            OxOrvexManager root;
            TestWindow window(u"Orvex_App", blocking);
            ASSERT_TRUE(startAndWaitCreated(window));
            EXPECT_TRUE(window.isMainWindow());
            EXPECT_EQ(OxWindowBase::getMainWindow(), &window);

            Pw::Rect client;
            ASSERT_TRUE(Pw::getClientRect(window.getHandle(), client));
            EXPECT_EQ(client.width(), 640);
            EXPECT_EQ(client.height(), 480);

            ASSERT_TRUE(Pw::postMessage(window.getHandle(), Pw::kWmClose, 0, 0));
            ASSERT_TRUE(window.waitForEnd());
            EXPECT_EQ(window.terminateCount, 1);
            EXPECT_EQ(window.getRunResult(), 0);
        }
        EXPECT_EQ(OxWindowBase::getMainWindow(), nullptr);
        Thread::OxThreadManager::release();
    }
}

TEST_F(OxWindowBaseTest, EscapeKeyClosesThroughTheBaseHook) {
    OxOrvexManager root;
    TestWindow window;
    ASSERT_TRUE(startAndWaitCreated(window));
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    ASSERT_TRUE(window.waitForEnd());
    EXPECT_EQ(window.terminateCount, 1);
}

TEST_F(OxWindowBaseTest, StopFromAnotherThreadWakesABlockingLoop) {
    OxOrvexManager root;
    TestWindow window(u"Orvex_App", /*blocking=*/true);
    ASSERT_TRUE(startAndWaitCreated(window));
    EXPECT_EQ(window.stop(), 0);  // returns only once the thread has ended
    EXPECT_EQ(window.terminateCount, 1);
}

TEST_F(OxWindowBaseTest, SecondWindowOfARegisteredClassFailsToCreate) {
    OxOrvexManager root;
    TestWindow first(u"Orvex_Shared");
    ASSERT_TRUE(startAndWaitCreated(first));
    TestWindow second(u"Orvex_Shared");
    ASSERT_EQ(second.start(), 0);
    ASSERT_TRUE(second.waitForEnd());
    EXPECT_EQ(second.getRunResult(), 1);
    EXPECT_EQ(second.getHandle(), 0u);
    EXPECT_FALSE(second.created.isSignalled());
    EXPECT_EQ(second.terminateCount, 0);
    EXPECT_TRUE(first.isRunning());
    EXPECT_EQ(first.stop(), 0);
}

TEST_F(OxWindowBaseTest, TitleAndPositionRoundTrip) {
    OxOrvexManager root;
    TestWindow window;
    window.getCreateParams().title = u"";
    ASSERT_TRUE(startAndWaitCreated(window));
    EXPECT_EQ(window.getTitle(), u"");
    EXPECT_TRUE(window.setTitle(u"ダンジョン Ver1.00"));
    EXPECT_EQ(window.getTitle(), u"ダンジョン Ver1.00");
    // Set on the test thread, so it runs on the window thread at its next pump.
    ASSERT_TRUE(window.setPosition(40, 30));
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_TRUE(eventually([&] { return window.getPosition(x, y) && x == 40 && y == 30; }));
}

TEST_F(OxWindowBaseTest, MinimiseAndActivationDriveTheMinimisedFlag) {
    OxOrvexManager root;
    TestWindow window;
    ASSERT_TRUE(startAndWaitCreated(window));
    const auto handle = window.getHandle();
    Pw::postMessage(handle, Pw::kWmSize, Pw::kSizeMinimized, 0);
    EXPECT_TRUE(eventually([&] { return window.isMinimized(); }));
    Pw::postMessage(handle, Pw::kWmSize, Pw::kSizeRestored, 0);
    EXPECT_TRUE(eventually([&] { return !window.isMinimized(); }));
    Pw::postMessage(handle, Pw::kWmSize, Pw::kSizeMinimized, 0);
    EXPECT_TRUE(eventually([&] { return window.isMinimized(); }));
    Pw::postMessage(handle, Pw::kWmActivateApp, 1, 0);
    EXPECT_TRUE(eventually([&] { return !window.isMinimized(); }));
}

TEST_F(OxWindowBaseTest, ControlClassIsSubclassedAndKeepsItsProcedure) {
    OxOrvexManager root;
    TestWindow window(u"EDIT");
    ASSERT_TRUE(startAndWaitCreated(window));
    ASSERT_NE(window.getPreviousProc(), nullptr);
    EXPECT_EQ(window.getPreviousProc(), Pw::controlClassProcedure(u"EDIT"));
    EXPECT_EQ(Pw::getWindowProcedure(window.getHandle()), &OxWindowBase::windowProc);
}

TEST_F(OxWindowBaseTest, DialogTemplatesAreNotAvailable) {
    OxOrvexManager root;
    TestWindow window;
    window.getCreateParams().dialogTemplateId = 101;
    ASSERT_EQ(window.start(), 0);
    ASSERT_TRUE(window.waitForEnd());
    EXPECT_EQ(window.getRunResult(), 1);
    EXPECT_TRUE(window.isDialog());
}

}  // namespace
}  // namespace Orvex::Window
