// The sample adventure system and its default story, run by the real layer. The window and
// picture modules are stand-ins that keep what the script shows.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/input/OxVirtualKey.h"
#include "game/adventure/CAdventureLayer.h"
#include "game/services/CScriptController.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::SceneLayer::CAdventureLayer;

std::vector<std::string>& shownTexts() {
    static std::vector<std::string> texts;
    return texts;
}

int nothing(lua_State*) { return 0; }

int newWindow(lua_State* L) {
    static int window = 0;
    lua_pushlightuserdata(L, &window);
    return 1;
}

int setText(lua_State* L) {
    if (const char* text = lua_tostring(L, 2); text != nullptr && *text != '\0') {
        shownTexts().push_back(text);
    }
    return 0;
}

std::vector<uint8_t> contentFile(const std::string& path) {
    std::ifstream in(std::string(FENWARROW_CONTENT_DIR) + "/" + path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SampleStory, TheDefaultStoryShowsItsLinesWaitsForKeysAndTimeAndEnds) {
    TempFolder folder;
    GameTest::TestGameContext game;
    ScriptTest::openArchive(folder, game.reader,
                            {{u"Script/ADV/ADVSystem.lua.lcd", contentFile("Script/ADV/ADVSystem.lua"), false},
                             {u"Script/ADV/test.lua.lcd", contentFile("Script/ADV/test.lua"), false}});
    game.provideAllModules();
    game.factories[Fenwarrow::ScriptModule::kGeneralWindow] = [] {
        return std::make_shared<GameTest::TestModule>(
            "GeneralWindow", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"newWindow", &newWindow},
                                                                                   {"setText", &setText},
                                                                                   {"setWindowMode", &nothing},
                                                                                   {"setShowTitle", &nothing},
                                                                                   {"setWindowSize", &nothing},
                                                                                   {"setLocation", &nothing},
                                                                                   {"update", &nothing},
                                                                                   {"draw", &nothing}});
    };
    game.factories[Fenwarrow::ScriptModule::kGraphics] = [] {
        return std::make_shared<GameTest::TestModule>(
            "Graphics", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"createTextureFromFile", &nothing}});
    };
    shownTexts().clear();

    Orvex::Graphics::OxRenderQueue queue;
    Orvex::InputSystem::OxVirtualKey keys;
    keys.bind(5, 99, 0);
    CAdventureLayer::Services services;
    services.game = &game;
    services.renderQueue = &queue;
    services.frameTime = [] { return 0.1f; };
    services.virtualKey = [&keys] { return &keys; };
    CAdventureLayer layer(services);
    ASSERT_TRUE(layer.setup());
    // The story number the world map or the stairs would have set: 2, the default story.
    lua_State* L = layer.getScript()->getLuaState();
    luaL_dostring(L, "Game = { Data = { getGlobalInt = function() return 2 end } }");

    auto frame = [&](bool push) {
        keys.swapBuffers();
        keys.setDown(5, push);
        layer.update();
    };
    using Texts = std::vector<std::string>;
    for (int i = 0; i < 10; ++i) {
        frame(false);
    }
    EXPECT_EQ(shownTexts(), Texts{"これはテストの物語です。"});
    frame(true);
    frame(false);
    EXPECT_EQ(shownTexts().size(), 2u);
    frame(true);  // too early: each line ignores the key for a moment
    EXPECT_EQ(shownTexts().size(), 2u);
    for (int i = 0; i < 5; ++i) {
        frame(false);
    }
    frame(true);  // on to the timed wait, which needs no key
    for (int i = 0; i < 15 && shownTexts().size() < 3; ++i) {
        frame(false);
    }
    EXPECT_EQ(shownTexts().back(), "おしまい。");
    EXPECT_TRUE(layer.isAlive());
    for (int i = 0; i < 5; ++i) {
        frame(false);
    }
    frame(true);  // the story returns
    frame(false);
    EXPECT_FALSE(layer.isAlive());
}

}  // namespace
