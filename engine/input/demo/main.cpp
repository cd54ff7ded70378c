// A small program that opens the main window, reports key presses and releases on stderr, shows
// a frame that lights up while the arrow keys are held, and closes on Escape.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/input/OxInputSystem.h"
#include "engine/input/OxKeyTable.h"
#include "engine/input/OxKeyboardDevice.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/system/OxStringConvert.h"
#include "engine/thread/OxThread.h"
#include "engine/thread/OxThreadManager.h"
#include "engine/window/OxWindowBase.h"
#include "platform/window/PresentTarget.h"

namespace {

using namespace Orvex;

constexpr uint32_t kFrameWidth = 800;
constexpr uint32_t kFrameHeight = 600;
constexpr uint32_t kArrowKeys[] = {120, 123, 125, 122};  // up, right, down, left
constexpr uint32_t kArrowColours[] = {0xFFC04040u, 0xFF40C040u, 0xFF4040C0u, 0xFFC0C040u};

std::string keyName(uint32_t key) {
    const char16_t* name = InputSystem::getKeyboardKeyName(key);
    return name != nullptr ? System::narrow(name) : std::string("?");
}

class DemoWindow : public Window::OxWindowBase {
public:
    DemoWindow() : game_([this] { gameLoop(); }) {}
    ~DemoWindow() override { stop(); }

    bool prepare(Window::WindowCreateParams& params) override {
        params.title = u"Orvex input demo";
        params.clientWidth = static_cast<int32_t>(kFrameWidth);
        params.clientHeight = static_cast<int32_t>(kFrameHeight);
        return true;
    }

    bool onCreate() override {
        InputSystem::OxInputSystem* input = InputSystem::OxInputSystem::getInstance();
        if (input == nullptr) {
            std::fprintf(stderr, "input is not available\n");
            return false;
        }
        keyboard_ = std::static_pointer_cast<InputSystem::OxKeyboardDevice>(
            input->createDevice(InputSystem::kDeviceKeyboard, 0));
        if (!keyboard_) {
            std::fprintf(stderr, "no keyboard\n");
            return false;
        }
        keys_.addDevice(keyboard_.get());
        for (uint32_t i = 0; i < std::size(kArrowKeys); ++i) {
            keys_.bind(i, 0, kArrowKeys[i]);
        }
        std::fprintf(stderr, "window open: press keys, Escape closes\n");
        return game_.start() == 0;
    }

    void terminate() override {
        keys_.clearBindings();
        keyboard_.reset();
        InputSystem::OxInputSystem::release();
        std::fprintf(stderr, "closed\n");
    }

private:
    void gameLoop() {
        InputSystem::OxInputSystem* input = InputSystem::OxInputSystem::getInstance();
        const auto target = Platform::Window::presentTarget(getHandle());
        while (game_.keepRunning()) {
            input->updateDevices();
            keys_.update();
            report();
            if (target) {
                target->submit(frame());
            }
            game_.sleep(16);
        }
    }

    void report() {
        for (uint32_t key = 0; key < keyboard_->getKeyCount(); ++key) {
            if (keyboard_->isPushed(key)) {
                std::fprintf(stderr, "down  %3u %s\n", key, keyName(key).c_str());
            } else if (keyboard_->isReleased(key)) {
                std::fprintf(stderr, "up    %3u %s\n", key, keyName(key).c_str());
            }
        }
        for (uint32_t i = 0; i < std::size(kArrowKeys); ++i) {
            if (keys_.isRepeat(i)) {
                std::fprintf(stderr, "repeat %s (held %u frames)\n", keyName(kArrowKeys[i]).c_str(), keys_.getHoldCount(i));
            }
        }
    }

    Platform::Window::FrameBuffer frame() {
        uint32_t colour = 0xFF202020u;
        for (uint32_t i = 0; i < std::size(kArrowKeys); ++i) {
            if (keys_.isDown(i)) {
                colour = kArrowColours[i];
            }
        }
        return {kFrameWidth, kFrameHeight, std::vector<uint32_t>(size_t(kFrameWidth) * kFrameHeight, colour)};
    }

    Thread::OxThread game_;
    std::shared_ptr<InputSystem::OxKeyboardDevice> keyboard_;
    InputSystem::OxVirtualKey keys_;
};

}  // namespace

int main() {
    OxOrvexManager root;
    auto window = std::make_shared<DemoWindow>();
    if (Thread::OxThreadManager::instance()->runApplicationThread(window) != 0) {
        std::fprintf(stderr, "the window thread did not start\n");
        return 1;
    }
    window.reset();  // the thread manager keeps it until its thread ends
    return 0;        // the root waits for the window thread
}
