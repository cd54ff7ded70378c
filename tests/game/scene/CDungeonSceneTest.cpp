// The dungeon scene over a real floor object: the game's current floor, the play time a replay
// counts, the end of a playback, and the overlay's device objects around a reset.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <ctime>

#include "engine/font/OxFont.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/replay/CReplayController.h"
#include "game/scene/CDungeonScene.h"
#include "game/scene/CSceneFactory.h"
#include "game/scene/SceneNumbers.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/replay/ReplayTestSupport.h"
#include "tests/game/scene/SceneTestContext.h"

namespace {

using Fenwarrow::Replay::CReplayController;
using Fenwarrow::Scene::CDungeon;

class NoGlyphFont : public Orvex::FontLib::OxFont {
public:
    uint32_t load(const std::u16string&) override { return 0; }
};

class SilentWindowContext : public Fenwarrow::IGeneralWindowContext {
public:
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
};

class DungeonScene : public ::testing::Test {
protected:
    void SetUp() override {
        context_.startGraphics();
        game_.provideAllModules();
        gameData_ = std::make_unique<Fenwarrow::CGameDataManager>(game_);
        game_.gameData = gameData_.get();
        services_.renderer = context_.renderer;
        services_.windowContext = std::make_shared<SilentWindowContext>();
        services_.fontRenderer =
            std::make_shared<Orvex::FontLib::OxFontRenderer>(context_.renderer, std::make_shared<NoGlyphFont>());
        services_.frameTime = 0.25f;
        // A dungeon whose scripts are missing: the floor starts, its set-up fails on the worker.
        const std::u16string path = u"Dungeon/NONE/001.lua";
        std::copy(path.begin(), path.end(), services_.settings.getDungeonSetting().scriptPath.begin());
        context_.dungeonServices = &services_;
        context_.replay = &replay_;
    }
    void TearDown() override {
        scene_.reset();
        context_.currentDungeon.reset();
        gameData_.reset();
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_ = std::make_unique<Orvex::OxOrvexManager>();
    SceneTest::SceneTestContext context_;
    GameTest::TestGameContext game_;
    DungeonTest::TestDungeonServices services_{game_};
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData_;
    ReplayTestGame replayGame_;
    CReplayController replay_{replayGame_};
    std::unique_ptr<CDungeon> scene_ = std::make_unique<CDungeon>(context_);
};

TEST_F(DungeonScene, SharesItsFloorWhilePlayedAndRemakesTheOverlayAroundAReset) {
    EXPECT_NE(dynamic_cast<CDungeon*>(Fenwarrow::Scene::CSceneFactory(context_).create(7).get()), nullptr);
    ASSERT_TRUE(scene_->initialize());
    ASSERT_NE(scene_->getFloor(), nullptr);
    EXPECT_EQ(context_.currentDungeon, scene_->getFloor());
    EXPECT_EQ(context_.frameTimerResets, 1);
    EXPECT_TRUE(scene_->hasOverlayFont());
    EXPECT_TRUE(scene_->onComeBack(10));

    scene_->releaseDeviceResources();
    EXPECT_FALSE(scene_->hasOverlayFont());
    // Drawing while released queues the overlay, which then draws nothing.
    EXPECT_TRUE(scene_->draw());
    context_.queue.sort();
    context_.queue.draw();
    context_.queue.clear();
    scene_->createDeviceResources();
    EXPECT_TRUE(scene_->hasOverlayFont());

    EXPECT_TRUE(scene_->finalize());
    EXPECT_EQ(scene_->getFloor(), nullptr);
    EXPECT_EQ(context_.currentDungeon, nullptr);
}

TEST_F(DungeonScene, AFloorThatCannotStartFailsTheScene) {
    services_.fontRenderer.reset();  // no log window: the floor does not start
    EXPECT_FALSE(scene_->initialize());
    context_.dungeonServices = nullptr;
    EXPECT_FALSE(CDungeon(context_).initialize());
}

TEST_F(DungeonScene, PlayTimeGrowsOnlyWhileAReplayModeIsSetAndNotInTheFrameAPlaybackEnds) {
    ASSERT_TRUE(scene_->initialize());
    auto& flags = context_.settingData.getResultSetting().flags;

    for (int frame = 0; frame < 3; ++frame) {
        scene_->update();
    }
    EXPECT_EQ(gameData_->getRunTime(), 0.0f);

    replay_.setMode(CReplayController::kModeRecording);
    ASSERT_TRUE(replay_.start());
    for (int frame = 0; frame < 3; ++frame) {
        scene_->update();
    }
    EXPECT_FLOAT_EQ(gameData_->getRunTime(), 0.75f);
    EXPECT_EQ(flags[Fenwarrow::kResultGaveUp], 0);

    replay_.setMode(CReplayController::kModePlayback);
    ASSERT_TRUE(replay_.finish());
    scene_->update();
    EXPECT_FLOAT_EQ(gameData_->getRunTime(), 0.75f);
    EXPECT_EQ(replay_.getMode(), CReplayController::kModeOff);
    EXPECT_EQ(flags[Fenwarrow::kResultGaveUp], 1);
    EXPECT_EQ(scene_->getFloor()->getRequestedScene(), Fenwarrow::Scene::kSceneResult);
}

TEST(DungeonSceneOverlay, ClockAndRecordingTimeTexts) {
    EXPECT_EQ(CDungeon::formatClock(3725.9f), u"01:02:05");
    EXPECT_EQ(CDungeon::formatClock(59.99f), u"00:00:59");
    EXPECT_EQ(CDungeon::formatClock(360000.0f), u"100:00:00");
    const char* zone = std::getenv("TZ");
    const std::string saved = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(CDungeon::formatTimeStamp(86400u * 365u + 3661u), u"1971/01/01 01:01:01");
    if (zone != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
