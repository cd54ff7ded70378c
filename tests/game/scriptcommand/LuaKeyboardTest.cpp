// The "Lua" module's raw keyboard tests, against the input system over a window under the
// dummy video driver.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/input/OxDI8GamePadManager.h"
#include "engine/input/OxInputSystem.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/services/CScriptController.h"
#include "platform/input/InputHub.h"
#include "platform/window/Window.h"
#include "tests/engine/window/WindowTestSupport.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using namespace Orvex;
using Orvex::Script::CScriptValue;
using Window::Testing::kWaitLimitMs;

void feed(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    Platform::Input::InputHub::instance().onSdlEvent(event);
}

class LuaKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<OxOrvexManager>();
        window_ = std::make_unique<Window::Testing::TestWindow>();
        ASSERT_EQ(window_->start(), 0);
        ASSERT_EQ(Platform::Kernel::waitForOne(window_->created, kWaitLimitMs), 0u);
        ASSERT_TRUE(Window::Testing::eventually([&] { return Platform::Window::isForeground(window_->getHandle()); }));
        ScriptTest::openArchive(folder_, services_.reader,
                                {{u"Script/Test/luamodule.lua.lcd",
                                  ScriptTest::readBytes(std::string(ORVEX_TEST_CHUNK_DIR) + "/luamodule.lcd"), false}});
        ASSERT_TRUE(host_.loadScript(u"Script/Test/luamodule.lua", 0x20000));
        ASSERT_TRUE(host_.runMain());
    }
    void TearDown() override {
        host_.close();
        InputSystem::OxInputSystem::release();
        InputSystem::OxDI8GamePadManager::release();
        window_.reset();
        root_.reset();
        Thread::OxThreadManager::release();
    }

    // {press "A", push 65, press 43}
    std::vector<int32_t> keys() {
        std::vector<CScriptValue> results;
        host_.callFunction(results, "keys", 3, {});
        std::vector<int32_t> flags;
        for (auto it = results.rbegin(); it != results.rend(); ++it) flags.push_back(it->asInteger());
        return flags;
    }

    std::unique_ptr<OxOrvexManager> root_;
    std::unique_ptr<Window::Testing::TestWindow> window_;
    TempFolder folder_;
    ScriptTest::TestScriptServices services_;
    Fenwarrow::CScriptController host_{services_};
};

TEST_F(LuaKeyboard, TextNamesTheKeyByItsFirstCharacterCode) {
    EXPECT_EQ(keys(), (std::vector<int32_t>{0, 0, 0}));  // makes the keyboard device
    InputSystem::OxInputSystem* input = InputSystem::OxInputSystem::getInstance();
    ASSERT_NE(input, nullptr);
    ASSERT_NE(input->getKeyboardDevice(), nullptr);

    feed(SDL_SCANCODE_F8, true);  // key number 65
    input->updateDevices();
    EXPECT_EQ(keys(), (std::vector<int32_t>{1, 1, 0}));
    input->updateDevices();
    EXPECT_EQ(keys(), (std::vector<int32_t>{1, 0, 0}));
    feed(SDL_SCANCODE_F8, false);
    feed(SDL_SCANCODE_Z, true);  // key number 43
    input->updateDevices();
    EXPECT_EQ(keys(), (std::vector<int32_t>{0, 0, 1}));
}

}  // namespace
