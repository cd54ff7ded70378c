// Full screen on an X display without a window manager, where nobody honours SDL's request: the
// window must still cover the display. The test starts a virtual X server of its own.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "platform/kernel/ChildProcess.h"
#include "platform/window/Window.h"

// After the test headers: Xlib's macros (None, Bool …) would break them.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#if defined(__SANITIZE_ADDRESS__)
#define ORVEX_TEST_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVEX_TEST_LEAK_CHECKS 1
#endif
#endif
#if defined(ORVEX_TEST_LEAK_CHECKS)
#include <sanitizer/lsan_interface.h>
#endif

namespace Platform::Window {
namespace {

// SDL's X11 video keeps a D-Bus connection whose buffer it never frees: not this code's leak.
void ignoreLeaksOfThisThread() {
#if defined(ORVEX_TEST_LEAK_CHECKS)
    __lsan_disable();
#endif
}

LResult quietProcedure(WindowHandle, uint32_t, WParam, LParam) { return 0; }

// A virtual X server with a 1024 x 768 screen and no window manager, for the test's lifetime.
class VirtualDisplay {
public:
    VirtualDisplay() {
        // A server can lose the race for a display number to another starting at the same time.
        for (int attempt = 0; attempt < 5 && name_.empty(); ++attempt) {
            start();
        }
    }
    ~VirtualDisplay() { stop(); }
    const std::string& name() const { return name_; }

private:
    void stop() {
        if (server_.running()) {
            server_.signal(SIGTERM);
            server_.wait();
        }
    }

    void start() {
        stop();
        // The server writes its display number to standard output once it is ready.
        Kernel::ChildOptions options;
        options.arguments = {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
        options.output = Kernel::ChildOutput::kPipe;
        options.errors = Kernel::ChildOutput::kDiscard;
        if (!server_.start("/usr/bin/Xvfb", options)) {
            return;
        }
        std::string number = server_.readOutput();
        if (number.empty()) {
            return;
        }
        if (number.back() == '\n') {
            number.pop_back();
        }
        const std::string name = ":" + number;
        // The number is written before every connection is served: wait until one is.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Display* probe = XOpenDisplay(name.c_str())) {
                XCloseDisplay(probe);
                name_ = name;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    Kernel::ChildProcess server_;
    std::string name_;
};

TEST(FullScreenTest, WithoutAWindowManagerTheWindowStillCoversTheDisplay) {
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb (package xvfb) is needed";
    const std::string previousDriver = std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "";
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    ::setenv("DISPLAY", display.name().c_str(), 1);
    std::packaged_task<void()> task([] {
        ignoreLeaksOfThisThread();
        ASSERT_TRUE(registerClass({u"FullScreenTest", &quietProcedure, 0, 0}));
        const WindowHandle window = createWindow(u"FullScreenTest", u"t", kStylePopup, 0, 0, 320, 200, 0);
        ASSERT_NE(window, 0u) << SDL_GetError();
        showWindow(window, kShowNormal);
        EXPECT_TRUE(setFullScreen(window, true));
        EXPECT_TRUE(isFullScreen(window));
        // What the X server has, not what SDL believes: SDL reports the display's size for a
        // full-screen window even when nobody resized it.
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(SDL_GetWindowFromID(sdlWindowId(window)), &info)) << SDL_GetError();
        XSync(info.info.x11.display, False);
        XWindowAttributes attributes{};
        ASSERT_NE(XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes), 0);
        EXPECT_EQ(attributes.width, 1024);
        EXPECT_EQ(attributes.height, 768);
        EXPECT_TRUE(setFullScreen(window, false));
        EXPECT_FALSE(isFullScreen(window));
        releaseThreadWindows();
    });
    auto done = task.get_future();
    std::thread thread(std::move(task));
    const bool finished = done.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    finished ? thread.join() : thread.detach();
    ::setenv("SDL_VIDEODRIVER", previousDriver.c_str(), 1);
    ASSERT_TRUE(finished) << "the window thread did not finish";
    done.get();
}

}  // namespace
}  // namespace Platform::Window
