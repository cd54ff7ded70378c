#include "platform/window/DisplayErrors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

// After the test headers: Xlib's macros (None, Bool …) would break them.
#include <X11/Xlib.h>

#include "platform/kernel/ProcessEnd.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Window.h"

namespace Platform::Window {
namespace {

LResult quietProcedure(WindowHandle, uint32_t, WParam, LParam) { return 0; }

// The handlers in force, read back without changing them.
XErrorHandler installedErrorHandler() {
    const XErrorHandler handler = XSetErrorHandler(nullptr);
    XSetErrorHandler(handler);
    return handler;
}

XIOErrorHandler installedConnectionHandler() {
    const XIOErrorHandler handler = XSetIOErrorHandler(nullptr);
    XSetIOErrorHandler(handler);
    return handler;
}

// A refused request (what a window destroyed by another client causes) closes every window
// through its message queue, as its close box would, and the program's status becomes 1.
TEST(DisplayErrorsTest, ARefusedRequestClosesEveryWindowAndRecordsAFailure) {
    Kernel::resetRecordedExitStatus();
    std::packaged_task<void()> task([] {
        ASSERT_TRUE(registerClass({u"DisplayErrorsTest", &quietProcedure, 0, 0}));
        const WindowHandle window =
            createWindow(u"DisplayErrorsTest", u"t", kStyleBorder, kUseDefault, kUseDefault, 320, 200, 0);
        ASSERT_NE(window, 0u);
        Message message;
        while (peekMessage(message)) {
        }
        XErrorEvent event{};
        event.error_code = BadWindow;
        event.request_code = 4;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(installedErrorHandler()(nullptr, &event), 0);
        EXPECT_EQ(installedErrorHandler()(nullptr, &event), 0);  // later errors are ignored
        const std::string lines = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(lines,
                  "The display refused a request (error 3, request 4.0): the window was closed from outside; ending "
                  "the program.\n");
        ASSERT_TRUE(peekMessage(message));
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(message.message, kWmClose);
        releaseThreadWindows();
    });
    auto done = task.get_future();
    std::thread thread(std::move(task));
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    thread.join();
    done.get();
    EXPECT_EQ(Kernel::recordedExitStatus(), 1);
    Kernel::resetRecordedExitStatus();
}

TEST(DisplayErrorsDeathTest, ALostConnectionEndsTheProcessWithALine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    installDisplayErrorHandlers();
    EXPECT_EXIT(installedConnectionHandler()(nullptr), ::testing::ExitedWithCode(1),
                "^The connection to the display was lost: ending the program.\n$");
}

}  // namespace
}  // namespace Platform::Window
