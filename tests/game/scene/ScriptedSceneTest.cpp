#include <gtest/gtest.h>

#include "engine/graphics/OxScreenEffectController.h"
#include "engine/scene/OxSceneController.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/scene/CAdventure.h"
#include "game/scene/CExtra.h"
#include "game/scene/CResult.h"
#include "game/scene/CSceneFactory.h"
#include "game/scene/CWorldMap.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "tests/game/scene/QuietWindows.h"
#include "tests/game/scene/SceneTestContext.h"
#include "tests/game/shell/GameDataFixture.h"

namespace {

using namespace Fenwarrow::Scene;
using Orvex::SceneController::OxSceneController;

constexpr const char* kWorldMap = R"lua(
updates = 0
jump = 0
function setScene(scene) sceneGiven = scene end
function initialize(mode) bootMode = mode end
function update(dt) updates = updates + 1; if wantSave then save(); wantSave = false end end
function getJumpScene() return jump end
function draw() drawn = (drawn or 0) + 1 end
)lua";

constexpr const char* kExtra = R"lua(
function initialize(scene) me = scene end
function update(dt)
  if target then jumpScene(target == "foreign" and 1 or me, target == "foreign" and 10 or target); target = nil end
  if ranking then valid = setResultInfo(ranking); ranking = nil end
end
function onComeBack(scene) cameBack = scene end
function draw() end
)lua";

// The scene factory of the game over a test context that keeps the last scene it made.
class KeepingFactory : public Orvex::SceneController::IOrvexSceneFactory {
public:
    explicit KeepingFactory(CSceneFactory& real) : real_(real) {}
    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override {
        last = real_.create(number);
        return last;
    }
    std::shared_ptr<Orvex::SceneController::OxSceneBase> last;

private:
    CSceneFactory& real_;
};

// A story layer that runs until the test ends it; the story "refuse" is refused by its set-up.
class StoryLayer : public Fenwarrow::SceneLayer::CSceneLayer {
public:
    explicit StoryLayer(std::u16string story) : story(std::move(story)) {}
    bool setup() override {
        alive = story != u"refuse";
        return alive;
    }
    void update() override {}
    void end() { alive = false; }
    std::u16string story;
};

class ScriptedScene : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, scene_.game.reader,
                                {{u"Actor/Player/HERO/setup.lua.lcd", GameTest::dataChunk("player_setup"), false},
                                 {u"Actor/Player/HERO/actor.lua.lcd", GameTest::dataChunk("player_actor"), false},
                                 {u"Script/WorldMap/WorldMap.lua.lcd", ScriptTest::textBytes(kWorldMap), false},
                                 {u"Script/Menu/Extra/Main.lua.lcd", ScriptTest::textBytes(kExtra), false}});
        scene_.game.provideAllModules();
        scene_.game.factories[Fenwarrow::ScriptModule::kActor] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Actor", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"setName", &GameTest::actorSetName},
                                                                               {"setActorID", &GameTest::actorSetID}});
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(scene_.game);
        scene_.game.gameData = data_.get();
        scene_.keys.bind(5, 99, 0);
        factory_.setSceneServices([this] {
            SceneServices services;
            services.screenEffects = &effects_;
            services.windows = std::make_shared<SceneTest::QuietWindows>();
            services.saveCommonData = [this] {
                ++saves_;
                return true;
            };
            services.frameTime = [] { return 0.25f; };
            services.layerManager = [this] { return &layers_; };
            services.makeAdventureLayer = [this](const std::u16string& story) {
                story_ = std::make_shared<StoryLayer>(story);
                return story_;
            };
            return services;
        });
        CExtra::setReturningToExtras(false);
    }
    void TearDown() override { CExtra::setReturningToExtras(false); }

    lua_State* stateOf(const std::shared_ptr<Fenwarrow::CScriptController>& script) { return script->getLuaState(); }
    double number(lua_State* L, const char* name) {
        lua_getglobal(L, name);
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }
    void set(lua_State* L, const char* name, double value) {
        lua_pushnumber(L, value);
        lua_setglobal(L, name);
    }
    // One frame: the screen effects, then the scenes.
    bool frame() {
        effects_.update(nullptr, 0.25f);
        return controller_.update();
    }
    void pushKey() {
        scene_.keys.swapBuffers();
        scene_.keys.setDown(5, true);
        frame();
        scene_.keys.swapBuffers();
        scene_.keys.setDown(5, false);
    }

    TempFolder folder_;
    SceneTest::SceneTestContext scene_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    Orvex::Graphics::OxScreenEffectController effects_;
    CSceneFactory factory_{scene_};
    std::shared_ptr<KeepingFactory> keeping_ = std::make_shared<KeepingFactory>(factory_);
    OxSceneController controller_{keeping_, -1};
    int saves_ = 0;
    Fenwarrow::SceneLayer::CSceneLayerManager layers_;
    std::shared_ptr<StoryLayer> story_;
};

TEST_F(ScriptedScene, WorldMapStartsWithTheBootModeWaitsForItsFadeAndJumpsWhereTheScriptSays) {
    scene_.settingData.getWorldMapSetting().bootMode = 2;
    ASSERT_TRUE(controller_.pushScene(kSceneWorldMap));
    auto map = std::dynamic_pointer_cast<CWorldMap>(keeping_->last);
    ASSERT_NE(map, nullptr);
    lua_State* L = stateOf(map->getScript());
    EXPECT_EQ(number(L, "bootMode"), 2.0);
    EXPECT_EQ(data_->getGlobalInt(18), 2);
    lua_getglobal(L, "sceneGiven");
    EXPECT_EQ(lua_touserdata(L, -1), map.get());
    lua_pop(L, 1);

    frame();  // 0.25 s of the 0.5 s fade: the script still waits
    EXPECT_EQ(number(L, "updates"), 0.0);
    EXPECT_TRUE(map->isInputBlocked());
    frame();
    EXPECT_EQ(number(L, "updates"), 1.0);

    lua_pushboolean(L, 1);
    lua_setglobal(L, "wantSave");
    frame();
    EXPECT_EQ(saves_, 1);

    // Below 1 nothing happens; a jump to the dungeon clears flag 512, others leave it.
    for (const double ignored : {0.9, -3.0, 0.0}) {
        set(L, "jump", ignored);
        frame();
        EXPECT_EQ(controller_.requestKind, Orvex::SceneController::kRequestNone) << ignored;
    }
    data_->setGlobalFlag(512, true);
    set(L, "jump", 12.7);
    map->update();
    EXPECT_EQ(controller_.requestId, 12);
    EXPECT_TRUE(data_->getGlobalFlag(512));
    set(L, "jump", 7.0);
    map->update();
    EXPECT_EQ(controller_.requestId, kSceneDungeon);
    EXPECT_FALSE(data_->getGlobalFlag(512));
    controller_.requestKind = Orvex::SceneController::kRequestNone;
}

TEST_F(ScriptedScene, AWorldMapLeftDuringItsFadeIsNotCalledBack) {
    ASSERT_TRUE(controller_.pushScene(kSceneWorldMap));
    keeping_->last.reset();
    controller_.clear();  // the scene goes while its fade runs
    effects_.update(nullptr, 1.0f);
    effects_.clear();
    EXPECT_EQ(effects_.size(), 0u);
}

TEST_F(ScriptedScene, ExtrasShowAStoredResultAndTheRelayReturnsToTheWaitingMenu) {
    ASSERT_TRUE(controller_.pushScene(kSceneExtra));
    auto extras = std::dynamic_pointer_cast<CExtra>(keeping_->last);
    ASSERT_NE(extras, nullptr);
    lua_State* L = stateOf(extras->getScript());

    set(L, "ranking", 0);
    frame();
    lua_getglobal(L, "valid");
    EXPECT_TRUE(lua_toboolean(L, -1));
    lua_pop(L, 1);
    EXPECT_EQ(scene_.settingData.getResultSetting().nextScene, kSceneExtra);
    EXPECT_EQ(scene_.settingData.getResultSetting().rankingIndex, 0u);

    set(L, "target", kSceneResult);
    frame();  // posts the push of the result
    EXPECT_TRUE(CExtra::isReturningToExtras());
    frame();  // the result scene, view only, is on top
    auto result = std::dynamic_pointer_cast<CResult>(keeping_->last);
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->isViewOnly());
    EXPECT_EQ(controller_.getCurrentSceneId(), kSceneResult);
    pushKey();  // shown -> leaving
    pushKey();  // Change to 11: a relay extras returns to the waiting one
    frame();
    EXPECT_EQ(controller_.getCurrentSceneId(), kSceneExtra);
    EXPECT_FALSE(CExtra::isReturningToExtras());
    EXPECT_EQ(number(L, "cameBack"), static_cast<double>(kSceneExtra));
    EXPECT_EQ(saves_, 0);  // showing a stored result keeps no books
}

TEST_F(ScriptedScene, ExtrasRefuseARankingIndexOutsideTheListsAndAForeignScene) {
    ASSERT_TRUE(controller_.pushScene(kSceneExtra));
    auto extras = std::dynamic_pointer_cast<CExtra>(keeping_->last);
    scene_.settingData.getResultSetting().nextScene = 4;
    for (const int32_t index : {-1, 15, 1000}) {
        EXPECT_FALSE(extras->setResultInfo(index)) << index;
        EXPECT_EQ(scene_.settingData.getResultSetting().nextScene, 4) << "no hand-over prepared";
    }
    lua_State* L = stateOf(extras->getScript());
    lua_pushstring(L, "foreign");
    lua_setglobal(L, "target");
    frame();
    EXPECT_EQ(controller_.requestKind, Orvex::SceneController::kRequestNone);
    EXPECT_FALSE(CExtra::isReturningToExtras());

    set(L, "target", kSceneTitle);
    frame();
    EXPECT_EQ(controller_.requestKind, static_cast<uint32_t>(kRequestChange));
    EXPECT_EQ(controller_.requestId, kSceneTitle);
    EXPECT_FALSE(CExtra::isReturningToExtras());
}

TEST_F(ScriptedScene, AdventureTellsTheHandedOverStoryThenGoesWhereTheStorySaid) {
    Fenwarrow::setSettingText(scene_.settingData.getADVSetting().path, u"Script/ADV/Story/Intro.lua");
    ASSERT_TRUE(controller_.pushScene(kSceneAdventure));
    ASSERT_NE(story_, nullptr);
    EXPECT_EQ(story_->story, u"Script/ADV/Story/Intro.lua");
    for (int i = 0; i < 3; ++i) {
        frame();
        EXPECT_EQ(controller_.requestKind, Orvex::SceneController::kRequestNone);
    }
    scene_.settingData.getADVSetting().nextScene = kSceneResult;  // set by the story while it runs
    story_->end();
    keeping_->last->update();
    EXPECT_EQ(controller_.requestKind, static_cast<uint32_t>(kRequestChange));
    EXPECT_EQ(controller_.requestId, kSceneResult);

    // A refused story moves on at the first update.
    OxSceneController other(keeping_, -1);
    Fenwarrow::setSettingText(scene_.settingData.getADVSetting().path, u"refuse");
    scene_.settingData.getADVSetting().nextScene = kSceneWorldMap;
    ASSERT_TRUE(other.pushScene(kSceneAdventure));
    keeping_->last->update();
    EXPECT_EQ(other.requestId, kSceneWorldMap);
}

}  // namespace
