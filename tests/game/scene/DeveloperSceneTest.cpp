// The developer scenes driven through the scene controller with the virtual keys alone: the
// test machine has no keyboard device, which is also the case these scenes must survive.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <set>

#include "engine/scene/OxSceneController.h"
#include "game/scene/CSceneFactory.h"
#include "game/scene/SceneNumbers.h"
#include "game/scene/developer/CDungeonDebug.h"
#include "game/scene/developer/CSceneSelector.h"
#include "game/services/CSettingDataManager.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/scene/SceneTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using namespace Fenwarrow::Scene;
using Orvex::SceneController::OxSceneController;

constexpr uint32_t kUp = 0;
constexpr uint32_t kDown = 2;
constexpr uint32_t kEnter = 5;

// The game's factory, with an empty scene standing for the dungeon scene, which needs a whole
// game behind it; what the lists lead to is checked by the scene that ends on top.
class ListTargets : public CSceneFactory {
public:
    using CSceneFactory::CSceneFactory;
    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override {
        if (number == kSceneDungeon) {
            return std::make_shared<Orvex::SceneController::OxSceneBase>();
        }
        return CSceneFactory::create(number);
    }
};

class DeveloperScenes : public ::testing::Test {
protected:
    // One frame with exactly these virtual keys down, held counted as the key table counts it.
    void frame(std::initializer_list<uint32_t> down) {
        const std::set<uint32_t> held(down);
        auto& keys = context_.keys;
        std::vector<std::pair<bool, uint32_t>> before;
        for (uint32_t key = 0; key < keys.getKeyCount(); ++key) {
            before.emplace_back(keys.isDown(key), keys.getHoldCount(key));
        }
        keys.swapBuffers();
        for (uint32_t key = 0; key < keys.getKeyCount(); ++key) {
            const bool isDown = held.count(key) != 0;
            keys.setDown(key, isDown);
            keys.setHoldCount(key, isDown && before[key].first ? before[key].second + 1 : 0);
        }
        ASSERT_TRUE(step_ ? step_() : controller_.update());
    }
    void idle(int frames) {
        for (int i = 0; i < frames; ++i) {
            frame({});
        }
    }
    std::u16string dungeonScriptPath() {
        return Fenwarrow::getSettingText(context_.settingData.getDungeonSetting().scriptPath);
    }

    // What a frame runs: the controller, or a scene the test holds itself.
    std::function<bool()> step_;
    SceneTest::SceneTestContext context_;
    OxSceneController controller_{std::make_shared<ListTargets>(context_), -1};
};

TEST_F(DeveloperScenes, SelectorIgnoresItsFirstFifteenUpdatesThenMovesWithinTheList) {
    CSceneSelector selector(context_);
    selector.setSceneController(&controller_);
    ASSERT_TRUE(selector.initialize());
    step_ = [&] { return selector.update(); };
    // A key pushed while the list still ignores input does nothing, and holding it into the
    // sixteenth update does not count as a push either.
    for (int i = 0; i < 16; ++i) {
        frame({kDown});
    }
    EXPECT_EQ(selector.getCursor(), 0);
    frame({});
    frame({kDown});
    EXPECT_EQ(selector.getCursor(), 1);
    // Up at the top stays; Enter and Up pushed together only move.
    frame({kUp});
    frame({});
    frame({kUp});
    frame({});
    frame({kEnter, kUp});
    EXPECT_EQ(selector.getCursor(), 0);
    EXPECT_EQ(controller_.requestKind, Orvex::SceneController::kRequestNone);
    for (int i = 0; i < 12; ++i) {
        frame({kDown});
        frame({});
    }
    EXPECT_EQ(selector.getCursor(), CSceneSelector::kEntryCount - 1);
    frame({kEnter});  // the last entry: the extras
    EXPECT_EQ(controller_.requestKind, static_cast<uint32_t>(kRequestChange));
    EXPECT_EQ(controller_.requestId, kSceneExtra);
}

TEST_F(DeveloperScenes, SelectorEntriesSetWhatTheirScenesStartWith) {
    struct Case {
        int32_t downs;
        int32_t scene;
        uint32_t bootMode;
        bool setsDungeon;
    };
    const Case cases[] = {
        {1, kSceneDungeon, 7, true},     // "ダンジョン"
        {3, kSceneWorldMap, 7, false},   // "WorldMap" keeps the boot mode
        {4, kSceneWorldMap, 99, false},  // "Adventure"
        {7, kSceneWorldMap, 1, false},   // "神社"
        {5, kSceneAudioTest, 7, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.downs);
        context_.settingData.getWorldMapSetting().bootMode = 7;
        Fenwarrow::setSettingText(context_.settingData.getDungeonSetting().scriptPath, u"");
        controller_.clear();
        controller_.setFactory(std::make_shared<ListTargets>(context_));
        ASSERT_TRUE(controller_.pushScene(kSceneSelector));
        idle(15);
        for (int32_t i = 0; i < c.downs; ++i) {
            frame({kDown});
            frame({});
        }
        frame({kEnter});
        EXPECT_EQ(controller_.requestId, c.scene);
        EXPECT_EQ(context_.settingData.getWorldMapSetting().bootMode, c.bootMode);
        EXPECT_EQ(dungeonScriptPath(), c.setsDungeon ? std::u16string(CSceneSelector::kDungeonScriptPath) : u"");
    }
}

class DungeonDebugScene : public DeveloperScenes {
protected:
    void SetUp() override {
        ScriptTest::openArchive(
            folder_, context_.game.reader,
            {{u"Script/Dungeon/dbg_DungeonDebugSetup.lua.lcd", ScriptTest::textBytes(kScript), false}});
    }
    // A heading, two floors, a second heading and a floor; then calls with another scene
    // pointer, a number and nothing, which must all be ignored.
    static constexpr const char* kScript = R"(
        local scene
        function setScene(s) scene = s end
        function setup()
            addParagraph(scene, "First")
            addDungeonInfo(scene, "one", "Dungeon/A/001.lua")
            addDungeonInfo(scene, "two", "Dungeon/A/002.lua")
            addParagraph(scene, "Second")
            addDungeonInfo(scene, "three", "Dungeon/B/001.lua")
            addDungeonInfo(nil, "stray", "x")
            addDungeonInfo(12, "stray", "x")
            addParagraph({}, "stray")
        end
    )";
    TempFolder folder_;
};

TEST_F(DungeonDebugScene, ListsWhatTheScriptAddsForItsOwnSceneOnly) {
    CDungeonDebug scene(context_);
    ASSERT_TRUE(scene.initialize());
    ASSERT_EQ(scene.getInfos().size(), 5u);
    const char16_t* titles[] = {u"First", u"one", u"two", u"Second", u"three"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(scene.getInfos()[i]->title, titles[i]);
        EXPECT_EQ(scene.getInfos()[i]->isParagraph, i == 0 || i == 3);
    }
    EXPECT_EQ(scene.getInfos()[4]->path, u"Dungeon/B/001.lua");
}

TEST_F(DungeonDebugScene, EnterChoosesOnReleaseAndHeadingsChooseNothing) {
    ASSERT_TRUE(controller_.pushScene(kSceneDungeonDebug));
    idle(15);
    // On the heading: release of Enter does nothing.
    frame({kEnter});
    frame({});
    EXPECT_EQ(controller_.requestKind, Orvex::SceneController::kRequestNone);
    EXPECT_EQ(dungeonScriptPath(), u"");
    // Down held: once at once, then at the repeat rate, never past the last line.
    for (int i = 0; i < 200; ++i) {
        frame({kDown});
    }
    frame({});
    frame({kEnter});
    EXPECT_EQ(controller_.requestKind, Orvex::SceneController::kRequestNone);  // held, not let go
    frame({});  // let go: a call, carried out at once, puts the dungeon on top
    EXPECT_EQ(controller_.getCurrentSceneId(), kSceneDungeon);
    EXPECT_EQ(dungeonScriptPath(), u"Dungeon/B/001.lua");
}

TEST_F(DeveloperScenes, DungeonDebugWithoutItsSetupScriptRefusesToStart) {
    EXPECT_FALSE(controller_.pushScene(kSceneDungeonDebug));
}

}  // namespace
