// The GeneralWindow module over real windows: fonts by name, the window fields it sets, the
// windows it owns, and list entries that call back into the script.
#include "game/scriptcommand/CGeneralWindowCommand.h"

#include <gtest/gtest.h>

#include "engine/font/OxFont.h"
#include "engine/font/OxFontRenderer.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/services/CScriptController.h"
#include "tests/game/scriptcommand/ScriptCallSupport.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CGeneralWindow;
using Fenwarrow::CScriptController;
using Fenwarrow::ScriptCommand::CGeneralWindowCommand;
using ScriptCall::Values;

constexpr const char* kScript = R"lua(
calls = {}
function record(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[#parts + 1] = tostring(select(i, ...)) end
  calls[#calls + 1] = table.concat(parts, ",")
end
function lastCall() return calls[#calls], #calls end
function make(font) return GeneralWindow.newWindow(font) end
function dress(w)
  GeneralWindow.setWindowMode(w, 1)
  GeneralWindow.setShowTitle(w, true)
  GeneralWindow.setTitle(w, "もちもの")
  GeneralWindow.setText(w, "本文")
  GeneralWindow.setLocation(w, 12.5, 40)
  GeneralWindow.setWindowSize(w, 100, 300)
  GeneralWindow.setEnableMonospace(w, true)
  GeneralWindow.setMonospaceWidth(w, 14.5)
  GeneralWindow.setFrameVisibility(w, false)
  GeneralWindow.setTextVisibility(w, false)
end
function fill(w)
  GeneralWindow.addListItem(w, "ひとつ")
  GeneralWindow.addListItemEx(w, "ふたつ", record, "bound")
  GeneralWindow.addListItemEx(w, "みっつ", record)
  return GeneralWindow.getListItemCount(w)
end
function pick(w, i)
  GeneralWindow.setSelectItemIndex(w, i)
  return GeneralWindow.getSelectedItemIndex(w)
end
function clear(w)
  GeneralWindow.clearListItem(w)
  return GeneralWindow.getListItemCount(w), GeneralWindow.getSelectedItemIndex(w)
end
function fontSize(w) return GeneralWindow.getFontSize(w) end
function drop(w) GeneralWindow.deleteWindow(w) end
function step(w) GeneralWindow.update(w, 0.1) GeneralWindow.draw(w) end
)lua";

class SizedFont : public Orvex::FontLib::OxFont {
public:
    explicit SizedFont(uint32_t size) { fontSize = size; }
    uint32_t load(const std::u16string&) override { return 0; }
};

class QuietWindowContext : public Fenwarrow::IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
};

class GeneralWindowModule : public ::testing::Test {
protected:
    void SetUp() override {
        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        module_ = std::make_shared<CGeneralWindowCommand>(services());
        ASSERT_TRUE(host_.attachCommand(module_));
        ASSERT_TRUE(host_.runMain());
    }

    CGeneralWindowCommand::Services services() {
        CGeneralWindowCommand::Services services;
        services.windowContext = std::make_shared<QuietWindowContext>();
        services.gameFont = [this] { return gameFont_; };
        services.loadFont = [this](const std::u16string& name) -> std::shared_ptr<Orvex::FontLib::OxFont> {
            loaded_.push_back(name);
            return std::make_shared<SizedFont>(16);
        };
        return services;
    }
    Values call(const char* name, const std::vector<ScriptCall::Argument>& arguments = {}) {
        return ScriptCall::call(host_.getLuaState(), name, arguments);
    }
    CGeneralWindow* make(const std::string& font) {
        lua_State* L = host_.getLuaState();
        lua_getglobal(L, "make");
        lua_pushstring(L, font.c_str());
        EXPECT_EQ(lua_pcall(L, 1, 1, 0), 0);
        auto* window = static_cast<CGeneralWindow*>(lua_touserdata(L, -1));
        lua_pop(L, 1);
        return module_->findWindow(window);
    }

    ScriptTest::TestScriptServices scriptServices_;
    CScriptController host_{scriptServices_};
    std::shared_ptr<Orvex::FontLib::OxFont> gameFont_ = std::make_shared<SizedFont>(24);
    std::vector<std::u16string> loaded_;
    std::shared_ptr<CGeneralWindowCommand> module_;
};

TEST_F(GeneralWindowModule, DefaultSharesTheGameFontAnyOtherNameLoadsAFontOfItsOwn) {
    CGeneralWindow* shared = make("Default");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->getFontRenderer()->getFont(), gameFont_);
    EXPECT_EQ(call("fontSize", {shared}), Values{"24"});
    EXPECT_TRUE(loaded_.empty());

    CGeneralWindow* own = make("font_small");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(loaded_, std::vector<std::u16string>{u"font_small"});
    EXPECT_NE(own->getFontRenderer()->getFont(), gameFont_);
    EXPECT_EQ(call("fontSize", {own}), Values{"16"});
    EXPECT_EQ(module_->getWindowCount(), 2u);
}

TEST_F(GeneralWindowModule, SettersReachTheWindowAndItsFontRenderer) {
    CGeneralWindow* window = make("Default");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(call("dress", {window}), Values{});
    EXPECT_EQ(window->getWindowMode(), CGeneralWindow::kModeList);
    EXPECT_TRUE(window->showTitle);
    EXPECT_EQ(window->title, u"もちもの");
    EXPECT_EQ(window->text, u"本文");
    EXPECT_EQ(window->x, 12.5f);
    EXPECT_EQ(window->y, 40.0f);
    EXPECT_EQ(window->getWidth(), 128.0f);
    EXPECT_EQ(window->getHeight(), 300.0f);
    EXPECT_TRUE(window->getFontRenderer()->monospace);
    EXPECT_EQ(window->getFontRenderer()->monospaceWidth, 14.5f);
    EXPECT_FALSE(window->frameVisible);
    EXPECT_FALSE(window->textVisible);
    EXPECT_EQ(call("step", {window}), Values{});

    EXPECT_EQ(call("fill", {window}), Values{"3"});
    EXPECT_EQ(call("pick", {window, 2.0}), Values{"2"});
    EXPECT_EQ(call("pick", {window, 3.0}), Values{"2"});  // not an entry: ignored
    EXPECT_EQ(call("clear", {window}), (Values{"0", "-1"}));
}

TEST_F(GeneralWindowModule, EntriesCallTheScriptWithTheBoundArgumentThenTheIndex) {
    CGeneralWindow* window = make("Default");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(call("fill", {window}), Values{"3"});
    const auto bound = window->getListItem(1);
    const auto plain = window->getListItem(2);
    ASSERT_TRUE(bound->callback && plain->callback);
    EXPECT_FALSE(window->getListItem(0)->callback);

    bound->callback(bound.get(), 1);
    EXPECT_EQ(call("lastCall"), (Values{"bound,1", "1"}));
    plain->callback(plain.get(), 2);
    EXPECT_EQ(call("lastCall"), (Values{"2", "2"}));

    // Deleting the window releases the callbacks: an entry kept elsewhere calls nothing.
    EXPECT_EQ(call("drop", {window}), Values{});
    EXPECT_EQ(module_->getWindowCount(), 0u);
    plain->callback(plain.get(), 2);
    EXPECT_EQ(call("lastCall"), (Values{"2", "2"}));
}

TEST_F(GeneralWindowModule, WindowsOfAnotherModuleAndDeletedOnesAreLeftAlone) {
    CGeneralWindowCommand other(services());
    CGeneralWindow* foreign = other.newWindow(u"Default");
    ASSERT_NE(foreign, nullptr);
    CGeneralWindow* window = make("Default");
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(call("drop", {foreign}), Values{});
    EXPECT_EQ(other.getWindowCount(), 1u);
    EXPECT_EQ(call("fill", {foreign}), Values{});  // not ours: no count
    EXPECT_EQ(foreign->getListItemCount(), 0u);

    EXPECT_EQ(call("drop", {window}), Values{});
    EXPECT_EQ(call("drop", {window}), Values{});
    EXPECT_EQ(module_->getWindowCount(), 0u);
    EXPECT_EQ(call("fontSize", {window}), Values{});
}

}  // namespace
