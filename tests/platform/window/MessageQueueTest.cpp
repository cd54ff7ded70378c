#include "platform/window/MessageQueue.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "platform/window/PresentTarget.h"
#include "platform/window/VirtualKeyCodes.h"
#include "platform/window/Window.h"

namespace Platform::Window {
namespace {

constexpr auto kLimit = std::chrono::seconds(10);

LResult quietProcedure(WindowHandle, uint32_t, WParam, LParam) { return 0; }

// Runs `body` on a fresh thread that owns SDL video while it creates a window, and releases it.
template <typename Body>
void onWindowThread(Body body) {
    std::packaged_task<void()> task([&] {
        ASSERT_TRUE(registerClass({u"PlatformTest", &quietProcedure, 0, 0}));
        const WindowHandle window =
            createWindow(u"PlatformTest", u"t", kStyleBorder, kUseDefault, kUseDefault, 320, 200, 0);
        ASSERT_NE(window, 0u);
        body(window);
        releaseThreadWindows();
    });
    auto done = task.get_future();
    std::thread thread(std::move(task));
    const bool finished = done.wait_for(kLimit) == std::future_status::ready;
    if (!finished) {
        ADD_FAILURE() << "window thread did not finish in time";
        thread.detach();
        return;
    }
    thread.join();
    done.get();
}

TEST(MessageQueueTest, PostedMessagesArriveInOrderAndQuitEndsGetMessage) {
    onWindowThread([](WindowHandle window) {
        std::thread poster([window] {
            postMessage(window, kWmSize, kSizeMinimized, 0);
            postMessage(window, kWmClose, 0, 0);
            postQuitMessage(3);
        });
        std::vector<uint32_t> seen;
        Message message;
        int32_t result = 0;
        while ((result = getMessage(message)) == 1) {
            seen.push_back(message.message);
        }
        poster.join();
        EXPECT_EQ(result, 0);
        EXPECT_EQ(message.wParam, 3u);
        EXPECT_EQ(seen, (std::vector<uint32_t>{kWmSize, kWmClose}));
        EXPECT_FALSE(postMessage(window + 1000, kWmClose, 0, 0));
    });
}

TEST(MessageQueueTest, KeyEventsBecomeKeyMessagesWithTheRepeatBit) {
    onWindowThread([](WindowHandle window) {
        for (const uint8_t repeat : {0, 1}) {
            SDL_Event key{};
            key.type = SDL_KEYDOWN;
            key.key.windowID = sdlWindowId(window);
            key.key.repeat = repeat;
            key.key.keysym.scancode = SDL_SCANCODE_F1;
            ASSERT_EQ(SDL_PushEvent(&key), 1);
        }
        std::vector<Message> messages;
        Message message;
        while (peekMessage(message)) {
            if (message.message == kWmKeyDown) {
                messages.push_back(message);
            }
        }
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].window, window);
        EXPECT_EQ(messages[0].wParam, kVkF1);
        EXPECT_EQ(messages[0].lParam & kKeyPreviouslyDown, 0);
        EXPECT_NE(messages[1].lParam & kKeyPreviouslyDown, 0);
    });
}

// Key messages posted from another thread (recorded key presses) reach the window that has
// the keyboard as SDL's own key events do; a key without a virtual key posts nothing.
TEST(MessageQueueTest, PostedKeysBecomeKeyMessagesOfTheWindow) {
    onWindowThread([](WindowHandle window) {
        std::thread poster([] {
            EXPECT_TRUE(postKeyMessage(SDL_SCANCODE_F1, true));
            EXPECT_FALSE(postKeyMessage(SDL_SCANCODE_UNKNOWN, true));
            EXPECT_TRUE(postKeyMessage(SDL_SCANCODE_F1, false));
            postQuitMessage(0);
        });
        std::vector<Message> keys;
        Message message;
        while (getMessage(message) == 1) {
            if (message.message == kWmKeyDown || message.message == kWmKeyUp) {
                keys.push_back(message);
            }
        }
        poster.join();
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(keys[0].window, window);
        EXPECT_EQ(keys[0].message, kWmKeyDown);
        EXPECT_EQ(keys[0].wParam, kVkF1);
        EXPECT_EQ(keys[0].lParam & kKeyPreviouslyDown, 0);
        EXPECT_EQ(keys[1].message, kWmKeyUp);
        EXPECT_EQ(keys[1].wParam, kVkF1);
    });
    EXPECT_FALSE(postKeyMessage(SDL_SCANCODE_F1, true)) << "no window takes it";
}

TEST(MessageQueueTest, FrameSubmittedFromAnotherThreadIsPresentedOnTheWindowThread) {
    onWindowThread([](WindowHandle window) {
        const auto target = presentTarget(window);
        ASSERT_NE(target, nullptr);
        std::thread drawer(
            [target] { target->submit(FrameBuffer::owning(800, 600, std::vector<uint32_t>(800 * 600, 0xFF336699u))); });
        drawer.join();
        const auto deadline = std::chrono::steady_clock::now() + kLimit;
        Message message;
        while (target->presentedCount() == 0 && std::chrono::steady_clock::now() < deadline) {
            while (peekMessage(message)) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(target->presentedCount(), 1u);
        ASSERT_TRUE(setFullScreen(window, true));
        EXPECT_TRUE(isFullScreen(window));
        target->submit(FrameBuffer::owning(800, 600, std::vector<uint32_t>(800 * 600, 0)));
        while (peekMessage(message)) {
        }
        EXPECT_EQ(target->presentedCount(), 2u);
    });
}

TEST(MessageQueueTest, OnlyTheOwnerPumpsAndOnlyOneThreadOwnsVideo) {
    Message message;
    EXPECT_EQ(getMessage(message), -1);
    EXPECT_FALSE(peekMessage(message));
    onWindowThread([](WindowHandle) {
        std::atomic<WindowHandle> second{1};
        std::thread other([&second] { second = createWindow(u"PlatformTest", u"x", kStyleBorder, 0, 0, 10, 10, 0); });
        other.join();
        EXPECT_EQ(second.load(), 0u);
    });
    EXPECT_FALSE(isVideoRunning());
    EXPECT_FALSE(isClassRegistered(u"PlatformTest"));  // released with its thread
}

TEST(WindowClassTest, RegistrationIsUniqueAndControlsArePredefined) {
    EXPECT_TRUE(registerClass({u"Orvex_Unique", &quietProcedure, 11, 0}));
    EXPECT_FALSE(registerClass({u"Orvex_Unique", &quietProcedure, 11, 0}));
    EXPECT_FALSE(registerClass({u"", &quietProcedure, 0, 0}));
    EXPECT_TRUE(unregisterClass(u"Orvex_Unique"));
    EXPECT_FALSE(unregisterClass(u"Orvex_Unique"));
    for (const std::u16string_view name : {u"STATIC", u"EDIT", u"BUTTON", u"MDICLIENT"}) {
        EXPECT_NE(controlClassProcedure(name), nullptr);
    }
    EXPECT_EQ(controlClassProcedure(u"Orvex_App"), nullptr);
}

TEST(VirtualKeyCodesTest, PositionalScancodesGiveVirtualKeys) {
    struct Case {
        SDL_Scancode scancode;
        uint32_t key;
    };
    const Case cases[] = {{SDL_SCANCODE_ESCAPE, kVkEscape},
                          {SDL_SCANCODE_F1, 0x70},
                          {SDL_SCANCODE_F12, 0x7B},
                          {SDL_SCANCODE_A, 'A'},
                          {SDL_SCANCODE_Z, 'Z'},
                          {SDL_SCANCODE_0, '0'},
                          {SDL_SCANCODE_9, '9'},
                          {SDL_SCANCODE_UP, kVkUp},
                          {SDL_SCANCODE_LEFT, kVkLeft},
                          {SDL_SCANCODE_KP_ENTER, kVkReturn},
                          {SDL_SCANCODE_NONUSHASH, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(virtualKeyFromScancode(c.scancode), c.key) << c.scancode;
    }
    EXPECT_EQ(virtualKeyFromScancode(-1), 0u);
    EXPECT_EQ(virtualKeyFromScancode(100000), 0u);
}

}  // namespace
}  // namespace Platform::Window
