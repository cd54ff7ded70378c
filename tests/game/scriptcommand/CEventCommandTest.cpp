#include "game/scriptcommand/CEventCommand.h"

#include <gtest/gtest.h>

#include "engine/graphics/OxScreenEffectController.h"
#include "game/event/CDebugPrintCommand.h"
#include "game/event/CEvent.h"
#include "game/event/CEventLayer.h"
#include "game/event/CEventPage.h"
#include "game/services/CScriptController.h"
#include "tests/game/scriptcommand/ScriptCallSupport.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::Event::CEventLayer;
using Fenwarrow::Event::Command::CDebugPrintCommand;
using Fenwarrow::ScriptCommand::CEventCommand;
using Texts = ScriptCall::Values;

constexpr const char* kScript = R"lua(
function fadeThenDelete(message)
  local event = Event.createEvent()
  local page = Event.getPage(event, 0)
  local print = Event.Page.createCommand(page, "Debug", "DebugPrint")
  print:call("setMessage", { message = message, nested = { 1 }, [3] = "three" })
  local fade = Event.Page.createCommand(page, "ScreenEffect", "FadeScreen")
  fade:call("setColor", { a = 1, r = 1, g = 1, b = 1 })
  fade:call("setFade", { fadeTime = 0.5, delayTime = 0, fadeType = "FadeOut" })
  Event.Page.createCommand(page, "System", "DeletePage")
  return Event.getPageCount(event), type(Event.getPage(event, 1))
end
function unknown()
  local page = Event.getPage(Event.createEvent(), 0)
  local command = Event.Page.createCommand(page, "System", "DebugPrint")
  command:call("setMessage", { message = "x" })
  return command._command
end
function stale(handle)
  local command = Event.Page.createCommand(handle, "Debug", "DebugPrint")
  return Event.getPageCount(handle), type(Event.getPage(handle, 0)), command._command
end
function make() return Event.createEvent() end
)lua";

class EventModule : public ::testing::Test {
protected:
    void SetUp() override {
        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        CEventCommand::Services services;
        services.eventLayer = [this] { return withLayer_ ? &layer_ : nullptr; };
        services.screenEffects = [this] { return &effects_; };
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CEventCommand>(services)));
        ASSERT_TRUE(host_.runMain());
    }
    Texts call(const char* name, const std::vector<ScriptCall::Argument>& arguments = {}) {
        return ScriptCall::call(host_.getLuaState(), name, arguments);
    }
    // The game's frame: screen effects first, then the layers.
    void frame(float seconds) {
        effects_.update(nullptr, seconds);
        layer_.update();
    }

    ScriptTest::TestScriptServices services_;
    CScriptController host_{services_};
    CEventLayer layer_;
    Orvex::Graphics::OxScreenEffectController effects_;
    bool withLayer_ = true;
};

TEST_F(EventModule, APageBuiltByAScriptRunsFrameByFrameUntilItDeletesItself) {
    EXPECT_EQ(call("fadeThenDelete", {std::string("こんにちは")}), (Texts{"1", "nil"}));
    ASSERT_EQ(layer_.getEvents().size(), 1u);
    const auto& page = *layer_.getEvents()[0]->getPages()[0];
    ASSERT_EQ(page.getCommands().size(), 3u);
    // The nested table is left out without keeping the other entries from arriving.
    const auto* print = dynamic_cast<const CDebugPrintCommand*>(page.getCommands()[0].get());
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->getMessage(), u"こんにちは");

    frame(0.0f);
    EXPECT_EQ(effects_.size(), 1u);
    EXPECT_EQ(page.getCurrentIndex(), 1u);  // waiting on the fade
    frame(0.3f);
    EXPECT_EQ(layer_.getEvents()[0]->getPages().size(), 1u);
    frame(0.3f);  // the fade ends; DeletePage removes the page in the same frame
    EXPECT_TRUE(layer_.getEvents()[0]->getPages().empty());
    EXPECT_EQ(effects_.size(), 0u);
    frame(0.0f);
    EXPECT_TRUE(layer_.getEvents().empty());
}

TEST_F(EventModule, UnknownCommandsAndStaleOrForeignHandlesReadAsNoObject) {
    EXPECT_EQ(call("unknown"), (Texts{"null"}));
    ASSERT_EQ(layer_.getEvents().size(), 1u);
    EXPECT_TRUE(layer_.getEvents()[0]->getPages()[0]->getCommands().empty());

    // A handle of an event that has finished, and a pointer the module never handed out.
    const Texts made = call("make");
    ASSERT_EQ(made, (Texts{"object"}));
    void* handle = layer_.getEvents().back().get();
    layer_.clear();
    EXPECT_EQ(call("stale", {handle}), (Texts{"0", "nil", "null"}));
    int foreign = 0;
    EXPECT_EQ(call("stale", {static_cast<void*>(&foreign)}), (Texts{"0", "nil", "null"}));

    withLayer_ = false;
    EXPECT_EQ(call("make"), (Texts{"nil"}));
}

}  // namespace
