// The "InputSystem" module over the real input system: a keyboard under the dummy video driver
// feeds a virtual-key set as the game binds it.
#include "game/scriptcommand/CInputSystemCommand.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/input/OxDI8GamePadManager.h"
#include "engine/input/OxInputSystem.h"
#include "engine/input/OxKeyboardDevice.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/replay/CReplayVirtualKey.h"
#include "game/services/CScriptController.h"
#include "platform/input/InputHub.h"
#include "platform/window/Window.h"
#include "tests/engine/window/WindowTestSupport.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using namespace Orvex;
using Fenwarrow::ScriptCommand::CInputSystemCommand;
using Orvex::Script::CScriptValue;
using Window::Testing::kWaitLimitMs;

constexpr uint32_t kKeyboard = 0;  // the keyboard's device index in the key set
constexpr uint32_t kKeyZ = 43;     // the keyboard's key number of Z

constexpr const char* kScript = R"lua(
-- press, push, release, repeat of a key, as 1 or 0, on the set `keys` or the current one.
function ask(key, keys)
  keys = keys or InputSystem.getVirtualKey()
  local function n(flag) if flag then return 1 end return 0 end
  return n(InputSystem.isPress(keys, key)) * 1000 + n(InputSystem.isPush(keys, key)) * 100
       + n(InputSystem.isRelease(keys, key)) * 10 + n(InputSystem.isRepeat(keys, key))
end
function keysAt(index) return InputSystem.getVirtualKey(index) end
function countAt(index) return select("#", InputSystem.getVirtualKey(index)) end
function reset(keys) InputSystem.resetAll(keys or InputSystem.getVirtualKey()) end
)lua";

// A number or a flag (booleans come back as integers 0 or 1).
double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

void feed(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    Platform::Input::InputHub::instance().onSdlEvent(event);
}

class InputSystemModule : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<OxOrvexManager>();
        window_ = std::make_unique<Window::Testing::TestWindow>();
        ASSERT_EQ(window_->start(), 0);
        ASSERT_EQ(Platform::Kernel::waitForOne(window_->created, kWaitLimitMs), 0u);
        ASSERT_TRUE(Window::Testing::eventually([&] { return Platform::Window::isForeground(window_->getHandle()); }));
        input_ = InputSystem::OxInputSystem::getInstance();
        ASSERT_NE(input_, nullptr);
        ASSERT_TRUE(input_->createDevice(1, 0));
        ASSERT_NE(input_->getKeyboardDevice(), nullptr);
        live_.addDevice(input_->getKeyboardDevice().get());
        // As the game binds them: twelve keys, here keys 0 and 11 on Z.
        live_.bind(0, kKeyboard, kKeyZ);
        for (uint32_t key = 1; key < 11; ++key) {
            live_.bind(key, kKeyboard, 100 + key);
        }
        live_.bind(11, kKeyboard, kKeyZ);

        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        module_ = std::make_shared<CInputSystemCommand>([this] { return current_; }, &hostKeys_);
        ASSERT_TRUE(host_.attachCommand(module_));
        ASSERT_TRUE(host_.runMain());
    }
    void TearDown() override {
        host_.close();
        module_.reset();
        live_.clearBindings();
        InputSystem::OxInputSystem::release();
        InputSystem::OxDI8GamePadManager::release();
        window_.reset();
        root_.reset();
        Thread::OxThreadManager::release();
    }

    void frame() {
        input_->updateDevices();
        live_.update();
    }
    int64_t ask(double key, std::vector<CScriptValue> keys = {}) {
        std::vector<CScriptValue> args{CScriptValue(key)};
        args.insert(args.end(), keys.begin(), keys.end());
        std::vector<CScriptValue> r;
        host_.callFunction(r, "ask", 1, args);
        return r.empty() ? -1 : static_cast<int64_t>(valueOf(r[0]));
    }

    std::unique_ptr<OxOrvexManager> root_;
    std::unique_ptr<Window::Testing::TestWindow> window_;
    InputSystem::OxInputSystem* input_ = nullptr;
    InputSystem::OxVirtualKey live_;
    InputSystem::OxVirtualKey hostKeys_;
    InputSystem::OxVirtualKey* current_ = &live_;
    ScriptTest::TestScriptServices services_;
    Fenwarrow::CScriptController host_{services_};
    std::shared_ptr<CInputSystemCommand> module_;
};

TEST_F(InputSystemModule, ScriptsReadTheKeysFrameByFrame) {
    frame();
    EXPECT_EQ(0, ask(0));
    feed(SDL_SCANCODE_Z, true);
    frame();
    EXPECT_EQ(1100, ask(0)) << "held and pushed";
    frame();
    EXPECT_EQ(1001, ask(0)) << "pushed in one frame only; the first repeat follows it";
    feed(SDL_SCANCODE_Z, false);
    frame();
    EXPECT_EQ(10, ask(11));

    // Key numbers that are no key of the set read as up, though keys 0 and 11 are held.
    feed(SDL_SCANCODE_Z, true);
    frame();
    ASSERT_EQ(1100, ask(0));
    for (double key : {-1.0, 12.0, 4294967296.0, 4294967307.0, -4294967296.0, 1e300, -1e300}) {
        EXPECT_EQ(0, ask(key)) << key;
    }

    std::vector<CScriptValue> r;
    host_.callFunction(r, "reset", 0, {});
    EXPECT_EQ(0, ask(0)) << "resetAll clears the set";
}

TEST_F(InputSystemModule, KeySetsComeFromTheGameOrTheHost) {
    feed(SDL_SCANCODE_Z, true);
    frame();
    // During a replay's playback the game reads the replay's keys; so do the scripts.
    Fenwarrow::Replay::CReplayVirtualKey replay(live_);
    feed(SDL_SCANCODE_Z, false);
    frame();
    EXPECT_EQ(10, ask(0));
    current_ = &replay;
    EXPECT_EQ(1100, ask(0));

    std::vector<CScriptValue> r;
    host_.callFunction(r, "keysAt", 1, {CScriptValue::fromInteger(0)});
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(&hostKeys_, r[0].asPointer()) << "index 0 is the set the host gave";
    host_.callFunction(r, "keysAt", 1, {CScriptValue::fromInteger(-1)});
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(&replay, r[0].asPointer());
    host_.callFunction(r, "countAt", 1, {CScriptValue::fromInteger(1)});
    EXPECT_EQ(0, valueOf(r[0])) << "no set at that index";

    // A set the module does not know, such as one no longer current, reads as all up.
    current_ = &live_;
    EXPECT_EQ(0, ask(0, {CScriptValue(static_cast<void*>(&replay))}));
    EXPECT_EQ(0, ask(0, {CScriptValue::fromInteger(1)}));
}

}  // namespace
