// The general-window layer with a real window and a real key table, with and without a script
// of its own (which gets the GeneralWindow module).
#include <gtest/gtest.h>

#include "engine/font/OxFont.h"
#include "engine/font/OxFontRenderer.h"
#include "game/control/CGeneralWindowLayer.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/scriptcommand/CGeneralWindowCommand.h"
#include "game/services/CScriptController.h"
#include "tests/game/action/ActionFixture.h"
#include "tests/game/replay/ReplayTestSupport.h"

namespace {

using Fenwarrow::CGeneralWindow;
using Fenwarrow::SceneLayer::CGeneralWindowLayer;

class PlainFont : public Orvex::FontLib::OxFont {
public:
    uint32_t load(const std::u16string&) override { return 0; }
};

class QuietWindowContext : public Fenwarrow::IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
};

// Counts its frames and fills the window through the module it was given.
constexpr const char* kWindowScript = R"lua(
frames = 0
elapsed = 0
function update(dt)
  frames = frames + 1
  elapsed = elapsed + dt
end
)lua";

class GeneralWindowLayer : public ActionTest::ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        keys_.addDevice(&replayGame_.buttons);
        for (uint32_t key = 0; key < 12; ++key) {
            keys_.bind(key, 0, key);
        }
        context_.keys = &keys_;
        context_.frameTime = 0.5f;
        context_.windowFactory = [] {
            auto window = std::make_shared<CGeneralWindow>(std::make_shared<QuietWindowContext>());
            return window->create(
                       std::make_shared<Orvex::FontLib::OxFontRenderer>(nullptr, std::make_shared<PlainFont>()))
                       ? window
                       : nullptr;
        };
        context_.game.factories[Fenwarrow::ScriptModule::kGeneralWindow] = [] {
            Fenwarrow::ScriptCommand::CGeneralWindowCommand::Services services;
            services.windowContext = std::make_shared<QuietWindowContext>();
            return std::make_shared<Fenwarrow::ScriptCommand::CGeneralWindowCommand>(services);
        };
        packScripts({{u"Script/UI/Window.lua", kWindowScript}});
    }
    void press(std::initializer_list<uint32_t> keys) {
        replayGame_.buttons.down.fill(false);
        for (uint32_t key : keys) {
            replayGame_.buttons.down[key] = true;
        }
        keys_.update();
    }
    double global(CGeneralWindowLayer& layer, const char* name) {
        lua_State* L = layer.getScript()->getLuaState();
        lua_getglobal(L, name);
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }

    ReplayTestGame replayGame_;
    Orvex::InputSystem::OxVirtualKey keys_;
};

TEST_F(GeneralWindowLayer, WithoutAScriptItShowsItsWindowAndClosesOnTheCancelKey) {
    Fenwarrow::SceneLayer::CSceneLayerManager manager;
    auto layer = std::make_shared<CGeneralWindowLayer>(context_);
    ASSERT_TRUE(manager.addLayer(layer));
    EXPECT_EQ(layer->getScript(), nullptr);
    ASSERT_NE(layer->getWindow(), nullptr);
    press({});
    manager.update();
    EXPECT_TRUE(layer->isAlive());
    manager.draw();
    ASSERT_EQ(context_.queued.size(), 1u);
    EXPECT_EQ(context_.queued[0].first, 6000000u);
    context_.queued[0].second();

    press({6});
    manager.update();
    EXPECT_FALSE(layer->isAlive());
    manager.update();
    EXPECT_EQ(manager.getLayerCount(), 0u);
}

TEST_F(GeneralWindowLayer, InListModeTheCursorWrapsBothWays) {
    auto layer = std::make_shared<CGeneralWindowLayer>(context_);
    ASSERT_TRUE(layer->setup());
    CGeneralWindow& window = *layer->getWindow();
    window.setWindowMode(CGeneralWindow::kModeList);
    for (const char16_t* text : {u"a", u"b", u"c"}) {
        window.addListItem(text, 0);
    }
    ASSERT_TRUE(window.setSelectItemIndex(0));
    const struct {
        uint32_t key;
        int32_t selected;
    } steps[] = {{0, 2}, {2, 0}, {2, 1}, {0, 0}};
    // The key table repeats a key first in the frame after the one it went down in.
    for (const auto& step : steps) {
        press({});
        press({step.key});
        press({step.key});
        layer->update();
        EXPECT_EQ(window.getSelectedItemIndex(), step.selected) << step.key;
    }
}

TEST_F(GeneralWindowLayer, TheScriptRunsInTheFrameTheCancelKeyClosesTheLayer) {
    auto layer = std::make_shared<CGeneralWindowLayer>(context_, u"Script/UI/Window.lua");
    ASSERT_TRUE(layer->setup());
    ASSERT_NE(layer->getScript(), nullptr);
    press({});
    layer->update();
    press({6});
    layer->update();
    EXPECT_FALSE(layer->isAlive());
    EXPECT_EQ(global(*layer, "frames"), 2.0);
    EXPECT_EQ(global(*layer, "elapsed"), 1.0);

    EXPECT_FALSE(std::make_shared<CGeneralWindowLayer>(context_, u"Script/UI/Missing.lua")->setup());
    context_.game.factories.erase(Fenwarrow::ScriptModule::kGeneralWindow);
    EXPECT_FALSE(std::make_shared<CGeneralWindowLayer>(context_, u"Script/UI/Window.lua")->setup());
}

}  // namespace
