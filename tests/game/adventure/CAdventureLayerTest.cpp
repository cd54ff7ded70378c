#include "game/adventure/CAdventureLayer.h"

#include <string>

#include <gtest/gtest.h>

#include "engine/graphics/OxRenderQueue.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/script/CLuaApi.h"
#include "engine/script/CLuaChunkBuffer.h"
#include "game/services/CScriptController.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::SceneLayer::CAdventureLayer;

// The system script answers each update with the queued command, else with `idle`.
constexpr const char* kSystem = R"lua(
current_scene = { keywait = 0, status = 0,
  skip_effect = function(scene) skips = (skips or 0) + 1; skippedWith = scene end }
idle = { 4, -1, false }
function queue(code, wait, extra) queued = { code, wait, extra } end
function setup(a, b) first, second = a, b end
function update(dt)
  local c = queued or idle
  queued = nil
  return c[1], c[2], c[3]
end
function draw() drawn = (drawn or 0) + 1 end
)lua";

constexpr const char* kStory = R"lua(
step = 1
coroutine.yield()
step = 2
coroutine.yield()
step = 3
)lua";

class AdventureLayer : public ::testing::Test {
protected:
    void SetUp() override {
        // A story larger than the coroutine's whole block.
        std::string big =
            std::string("bigStory = true\n--") + std::string(CAdventureLayer::kThreadMemorySize, 'x') + "\n";
        ScriptTest::openArchive(folder_, game_.reader,
                                {{u"Script/ADV/ADVSystem.lua.lcd", ScriptTest::textBytes(kSystem), false},
                                 {u"Script/ADV/Story/One.lua.lcd", ScriptTest::textBytes(kStory), false},
                                 {u"Script/ADV/Story/Big.lua.lcd", ScriptTest::textBytes(big), false}});
        game_.provideAllModules();
        keys_.bind(5, 99, 0);
        keys_.bind(4, 99, 0);
    }

    CAdventureLayer::Services services() {
        CAdventureLayer::Services made;
        made.game = &game_;
        made.renderQueue = &queue_;
        made.frameTime = [] { return 0.25f; };
        made.virtualKey = [this] { return &keys_; };
        made.stepReplay = [this] { ++replaySteps_; };
        return made;
    }

    lua_State* system(CAdventureLayer& layer) { return layer.getScript()->getLuaState(); }
    void queue(CAdventureLayer& layer, double code, double wait, const char* extra = nullptr, bool flag = false) {
        lua_State* L = system(layer);
        lua_getglobal(L, "queue");
        lua_pushnumber(L, code);
        lua_pushnumber(L, wait);
        extra != nullptr ? lua_pushstring(L, extra) : lua_pushboolean(L, flag);
        lua_call(L, 3, 0);
    }
    void idleWith(CAdventureLayer& layer, double code) {
        lua_State* L = system(layer);
        lua_getglobal(L, "idle");
        lua_pushnumber(L, code);
        lua_rawseti(L, -2, 1);
        lua_pop(L, 1);
    }
    double global(lua_State* L, const char* name) {
        lua_getglobal(L, name);
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }
    double sceneField(CAdventureLayer& layer, const char* field) {
        lua_State* L = system(layer);
        lua_getglobal(L, "current_scene");
        lua_getfield(L, -1, field);
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 2);
        return value;
    }
    // One frame with key 5 pushed (or key 4 held).
    void frame(CAdventureLayer& layer, bool push5 = false, bool hold4 = false) {
        keys_.swapBuffers();
        keys_.setDown(5, push5);
        keys_.setDown(4, hold4);
        layer.update();
    }

    TempFolder folder_;
    GameTest::TestGameContext game_;
    Orvex::Graphics::OxRenderQueue queue_;
    Orvex::InputSystem::OxVirtualKey keys_;
    int replaySteps_ = 0;
};

TEST_F(AdventureLayer, SetupStartsTheSystemScriptAndAStoryRunsUntilItWaits) {
    // A context above 32 bits: an object's address must arrive whole.
    constexpr uintptr_t kWide = uintptr_t{0x7F12345678};
    CAdventureLayer layer(services(), u"Script/ADV/Story/One.lua", kWide, 9);
    ASSERT_TRUE(layer.setup());
    EXPECT_TRUE(layer.isAlive());
    lua_State* L = system(layer);
    lua_getglobal(L, "first");
    lua_getglobal(L, "second");
    EXPECT_EQ(lua_touserdata(L, -2), reinterpret_cast<void*>(kWide));
    EXPECT_EQ(lua_touserdata(L, -1), reinterpret_cast<void*>(9));
    lua_pop(L, 2);
    EXPECT_EQ(layer.getStoryPath(), u"Script/ADV/Story/One.lua");

    queue(layer, 1, -1, "Script/ADV/Story/One.lua");
    frame(layer);
    EXPECT_EQ(global(L, "step"), 1.0);
    EXPECT_EQ(sceneField(layer, "status"), 2.0);
    EXPECT_EQ(replaySteps_, 1);

    layer.draw();
    queue_.draw();
    EXPECT_EQ(global(L, "drawn"), 1.0);

    queue(layer, 0, -1);
    frame(layer);
    EXPECT_FALSE(layer.isAlive());
}

TEST_F(AdventureLayer, AKeyWaitIgnoresTheKeyForItsWaitTimeThenGoesOn) {
    CAdventureLayer layer(services(), u"Script/ADV/Story/One.lua");
    ASSERT_TRUE(layer.setup());
    lua_State* L = system(layer);
    queue(layer, 1, -1, "Script/ADV/Story/One.lua");
    frame(layer);
    idleWith(layer, 3);
    queue(layer, 3, 0.5);
    frame(layer, true);
    EXPECT_EQ(sceneField(layer, "keywait"), -1.0);
    frame(layer, false);
    frame(layer, true);  // 0.75 s of frames: the wait has run out only now
    EXPECT_EQ(global(L, "step"), 1.0);
    frame(layer, false);  // no push, no going on
    EXPECT_EQ(global(L, "step"), 1.0);
    frame(layer, true);
    EXPECT_EQ(global(L, "step"), 2.0);
    EXPECT_EQ(global(L, "skips"), 1.0);
    lua_getglobal(L, "skippedWith");
    lua_getglobal(L, "current_scene");
    EXPECT_TRUE(lua_rawequal(L, -1, -2)) << "skip_effect gets the current_scene table";
    lua_pop(L, 2);

    // A negative wait leaves the wait time and the table alone.
    lua_getglobal(L, "current_scene");
    lua_pushinteger(L, 5);
    lua_setfield(L, -2, "keywait");
    lua_pop(L, 1);
    const float before = layer.getWaitTime();
    queue(layer, 4, -0.5);
    frame(layer);
    EXPECT_EQ(layer.getWaitTime(), before);
    EXPECT_EQ(sceneField(layer, "keywait"), 5.0);
}

TEST_F(AdventureLayer, HoldingFastForwardGoesOnEverySixthFrame) {
    CAdventureLayer layer(services(), u"Script/ADV/Story/One.lua");
    ASSERT_TRUE(layer.setup());
    lua_State* L = system(layer);
    queue(layer, 1, -1, "Script/ADV/Story/One.lua");
    frame(layer);
    idleWith(layer, 3);
    queue(layer, 3, 0);
    frame(layer, false, true);  // the 0 wait runs out
    int frames = 0;
    while (global(L, "step") < 2.0 && frames < 20) {
        frame(layer, false, true);
        ++frames;
    }
    EXPECT_EQ(frames, 6);
    frames = 0;
    while (global(L, "step") < 3.0 && frames < 20) {
        frame(layer, false, true);
        ++frames;
    }
    EXPECT_EQ(frames, 6);
}

TEST_F(AdventureLayer, AStoryLargerThanTheCoroutineBlockGoesToABlockOfItsOwn) {
    CAdventureLayer layer(services());
    EXPECT_EQ(layer.getStoryPath(), CAdventureLayer::kDefaultStory);
    ASSERT_TRUE(layer.setup());
    queue(layer, 1, -1, "Script/ADV/Story/Big.lua");
    frame(layer);
    lua_State* story = layer.getCoroutine()->getState();
    lua_getglobal(story, "bigStory");
    EXPECT_TRUE(lua_toboolean(story, -1)) << "the story ran";
    lua_pop(story, 1);
    Orvex::Script::CLuaChunkBuffer& chunks = layer.getCoroutine()->getChunks();
    EXPECT_LE(chunks.used(), chunks.capacity());
    const Orvex::Script::CLuaChunk* record = chunks.find("Script/ADV/Story/Big.lua");
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->external);
    // Loading stories again and again keeps one copy each.
    for (int i = 0; i < 3; ++i) {
        queue(layer, 1, -1, "Script/ADV/Story/One.lua");
        frame(layer);
    }
    EXPECT_LE(chunks.used(), 2u * static_cast<uint32_t>(std::string(kStory).size()));
}

TEST_F(AdventureLayer, WithoutTheSystemScriptTheLayerIsRefused) {
    GameTest::TestGameContext empty;
    TempFolder folder;
    ScriptTest::openArchive(folder, empty.reader, {{u"Script/Other.lua.lcd", ScriptTest::textBytes("x = 1"), false}});
    CAdventureLayer::Services made = services();
    made.game = &empty;
    CAdventureLayer layer(made);
    EXPECT_FALSE(layer.setup());
    EXPECT_FALSE(layer.isAlive());
    layer.update();  // nothing to step
}

}  // namespace
