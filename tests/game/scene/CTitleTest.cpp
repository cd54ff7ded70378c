// The title scene on a test context: the fade-in that holds the script back, every code the
// script's "update" can return, the fade-out before each exit, and the outcome of loads, saves
// and replay loads told to the script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/graphics/OxScreenEffectController.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/scene/CTitle.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/scene/SceneTestContext.h"
#include "tools/moviegen/MovieGenerator.h"

namespace {

using namespace Fenwarrow::Scene;
using Fenwarrow::Replay::CReplayController;
using Orvex::SceneController::OxSceneController;

class TitleReplayContext : public Fenwarrow::Replay::IReplayContext {
public:
    explicit TitleReplayContext(Orvex::Random::IOrvexRandomGenerator& random) : random_(random) {}
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random_; }
    std::u16string getPlayerName() override { return u"tester"; }
    float getPlayTime() override { return 0.0f; }
    Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() override { return keys_; }

private:
    Orvex::Random::IOrvexRandomGenerator& random_;
    Orvex::InputSystem::OxVirtualKey keys_;
};

// The scene context with what the title reaches besides: the game's script services, the
// screen effects, the replay and the common save, whose outcome the test chooses.
class TitleTestContext : public SceneTest::SceneTestContext {
public:
    TitleTestContext() {
        frameTime = 0.25f;
        replay = &titleReplay;
    }
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() override { return &effects; }
    bool loadCommonData() override {
        ++loads;
        return loadSucceeds;
    }
    bool saveCommonData() override {
        ++saves;
        return saveSucceeds;
    }
    void resetGameData() override { ++resets; }
    void closeMainWindow() override { ++closes; }

    Orvex::Graphics::OxScreenEffectController effects;
    TitleReplayContext replayContext{game.random};
    CReplayController titleReplay{replayContext};
    bool loadSucceeds = true;
    bool saveSucceeds = true;
    int loads = 0;
    int saves = 0;
    int resets = 0;
    int closes = 0;
};

// The game's factory, keeping the scene it made last.
class KeepingFactory : public Orvex::SceneController::IOrvexSceneFactory {
public:
    explicit KeepingFactory(ISceneContext& context) : factory_(context) {}
    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override {
        last = factory_.create(number);
        return last;
    }

    std::shared_ptr<Orvex::SceneController::OxSceneBase> last;

private:
    CSceneFactory factory_;
};

std::vector<uint8_t> chunk(const char* name) {
    return ScriptTest::readBytes(std::string(ORVEX_TEST_CHUNK_DIR) + "/" + name + ".lcd");
}

class TitleTest : public ::testing::Test {
protected:
    void SetUp() override {
        context_.startGraphics();
        ScriptTest::openArchive(folder_, context_.game.reader,
                                {{u"Script/Menu/DemoTitle.lua.lcd", chunk("title"), false}});
        context_.game.provideAllModules();
        controller_ = newController();
    }
    void TearDown() override {
        // The factory keeps the scenes, so a fade still running finishes here, while the
        // controller its callback posts to still exists.
        context_.effects.clear();
        controller_.reset();
    }

    std::unique_ptr<OxSceneController> newController() {
        factory_ = std::make_shared<KeepingFactory>(context_);
        return std::make_unique<OxSceneController>(factory_, -1);
    }
    CTitle* start() {
        if (!controller_->pushScene(kSceneTitle)) {
            return nullptr;
        }
        title_ = dynamic_cast<CTitle*>(factory_->last.get());
        return title_;
    }
    // The fade in progress runs to its end.
    void finishFade() { context_.effects.update(context_.renderer, CTitle::kFadeSeconds + 0.1f); }
    // Starts the title and lets its fade-in end.
    CTitle* startReady() {
        CTitle* title = start();
        if (title != nullptr) {
            finishFade();
        }
        return title;
    }

    lua_State* script() { return title_->getScript()->getLuaState(); }
    double number(const char* name) {
        lua_getglobal(script(), name);
        const double value = lua_tonumber(script(), -1);
        lua_pop(script(), 1);
        return value;
    }
    void setGlobal(const char* name, double value) {
        lua_pushnumber(script(), value);
        lua_setglobal(script(), name);
    }
    void setGlobal(const char* name, const char* value) {
        lua_pushstring(script(), value);
        lua_setglobal(script(), name);
    }
    std::vector<double> results() {
        std::vector<double> values;
        lua_getglobal(script(), "results");
        for (int i = 1; i <= static_cast<int>(lua_objlen(script(), -1)); ++i) {
            lua_rawgeti(script(), -1, i);
            values.push_back(lua_tonumber(script(), -1));
            lua_pop(script(), 1);
        }
        lua_pop(script(), 1);
        return values;
    }
    // One update in which the script answers `code`.
    void answer(double code) {
        setGlobal("nextCode", code);
        ASSERT_TRUE(controller_->update());
    }
    // Queues the frame's drawing and runs it; how many times the script drew.
    double drawFrame() {
        context_.queue.clear();
        EXPECT_TRUE(controller_->draw());
        context_.queue.sort();
        context_.queue.draw();
        return number("draws");
    }

    TempFolder folder_;
    TitleTestContext context_;
    std::shared_ptr<KeepingFactory> factory_;
    std::unique_ptr<OxSceneController> controller_;
    CTitle* title_ = nullptr;
};

TEST_F(TitleTest, TheFadeInHoldsTheScriptBackWhateverKeysAreHeld) {
    CTitle* title = start();
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->isInputBlocked());
    EXPECT_FALSE(title->hasCommonSave());
    EXPECT_EQ(context_.frameTimerResets, 1);
    context_.keys.setDown(5, true);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(controller_->update());
        context_.effects.update(context_.renderer, 0.2f);  // 0.6 s of the 0.7 s
    }
    EXPECT_EQ(number("updates"), 0);
    EXPECT_EQ(drawFrame(), 1);  // drawing goes on meanwhile

    context_.effects.update(context_.renderer, 0.2f);
    EXPECT_FALSE(title->isInputBlocked());
    ASSERT_TRUE(controller_->update());
    EXPECT_EQ(number("updates"), 1);
    EXPECT_EQ(number("lastTime"), 0.25);
}

// Codes that keep the title: what reaches the save and what the script is told.
TEST_F(TitleTest, CodesThatKeepTheTitleReportTheirOutcome) {
    struct Case {
        double code;
        bool loadSucceeds;
        bool saveSucceeds;
        int loads;
        int saves;
        std::vector<double> results;
    };
    const Case cases[] = {
        {0, true, true, 0, 0, {}},    {-1, true, true, 0, 0, {}}, {8, true, true, 0, 0, {}},
        {42.5, true, true, 0, 0, {}}, {4, true, true, 0, 0, {0}}, {2, true, true, 1, 0, {0}},
        {2, false, true, 1, 0, {1}},  {3, true, true, 0, 1, {0}}, {3, true, false, 0, 1, {1}},
        {4.9, true, true, 0, 0, {0}},
    };
    for (const Case& c : cases) {
        controller_ = newController();
        context_.loads = context_.saves = 0;
        context_.loadSucceeds = c.loadSucceeds;
        context_.saveSucceeds = c.saveSucceeds;
        CTitle* title = startReady();
        ASSERT_NE(title, nullptr);
        answer(c.code);
        EXPECT_EQ(context_.loads, c.loads) << c.code;
        EXPECT_EQ(context_.saves, c.saves) << c.code;
        EXPECT_EQ(results(), c.results) << c.code;
        EXPECT_FALSE(title->isLeaving()) << c.code;
        EXPECT_EQ(controller_->requestKind, Orvex::SceneController::kRequestNone) << c.code;
        answer(0);
        EXPECT_EQ(number("updates"), 2) << c.code;  // the title goes on
    }
}

// Each exit fades out first; meanwhile the script is no longer updated but still drawn.
TEST_F(TitleTest, ExitsLeaveBehindAFadeOut) {
    struct Case {
        double code;
        int32_t scene;  // the change after the fade; 0 for none
        int closes;
        std::vector<double> results;
    };
    for (const Case& c : {Case{1, kSceneDungeon, 0, {}}, Case{7, kSceneExtra, 0, {}}, Case{6, 0, 1, {0}}}) {
        controller_ = newController();
        context_.closes = 0;
        CTitle* title = startReady();
        ASSERT_NE(title, nullptr);
        answer(c.code);
        EXPECT_TRUE(title->isLeaving()) << c.code;
        EXPECT_EQ(results(), c.results) << c.code;
        answer(c.code);
        EXPECT_EQ(number("updates"), 1) << c.code;
        const double draws = drawFrame();
        EXPECT_EQ(drawFrame(), draws + 1) << c.code;
        EXPECT_EQ(controller_->requestKind, Orvex::SceneController::kRequestNone) << c.code;

        finishFade();
        EXPECT_EQ(context_.closes, c.closes) << c.code;
        if (c.scene != 0) {
            EXPECT_EQ(controller_->requestKind, static_cast<uint32_t>(kRequestChange)) << c.code;
            EXPECT_EQ(controller_->requestId, c.scene) << c.code;
        } else {
            // Quitting stops the script's drawing: the window is closing.
            EXPECT_EQ(drawFrame(), draws + 1) << c.code;
        }
    }
}

TEST_F(TitleTest, ANewGameRecordsAReplayOfTheFirstDungeon) {
    std::ofstream(folder_ / "c001.bin") << "suspended";
    CTitle* title = startReady();
    ASSERT_NE(title, nullptr);
    answer(1);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "c001.bin"));
    EXPECT_EQ(context_.titleReplay.getMode(), CReplayController::kModeRecording);
    EXPECT_EQ(context_.titleReplay.getInfo()->getDungeonScript(), CTitle::kFirstDungeon);
    const auto& path = context_.settingData.getDungeonSetting().scriptPath;
    EXPECT_EQ(std::u16string(path.data()), CTitle::kFirstDungeon);
}

// A replay that cannot be read is not played: the title stays and the script hears of it. One
// that can be read is played from its own seed and dungeon.
TEST_F(TitleTest, AReplayIsPlayedOnlyWhenItCanBeRead) {
    CTitle* title = startReady();
    ASSERT_NE(title, nullptr);
    answer(5);
    EXPECT_EQ(results(), std::vector<double>{1});
    EXPECT_FALSE(title->isLeaving());
    EXPECT_NE(context_.titleReplay.getMode(), CReplayController::kModePlayback);

    // A replay written by a recorded run.
    context_.titleReplay.reset();
    context_.titleReplay.getInfo()->setDungeonScript(u"Dungeon/DEMO10/00/00/002.lua");
    const uint32_t seed = context_.titleReplay.getInfo()->getSeed();
    std::filesystem::create_directories(folder_ / "Replay");
    ASSERT_TRUE(context_.titleReplay.saveReplayFile(u"Replay/run.lrd"));
    context_.game.random.seed(seed + 1);

    setGlobal("replayName", "run.lrd");
    answer(5);
    EXPECT_EQ(results(), (std::vector<double>{1, 0}));
    EXPECT_TRUE(title->isLeaving());
    EXPECT_EQ(context_.titleReplay.getMode(), CReplayController::kModePlayback);
    EXPECT_EQ(context_.titleReplay.getState(), CReplayController::kStateRunning);
    EXPECT_EQ(context_.game.random.getSeed(), seed);
    EXPECT_EQ(std::u16string(context_.settingData.getDungeonSetting().scriptPath.data()),
              u"Dungeon/DEMO10/00/00/002.lua");
    finishFade();
    EXPECT_EQ(controller_->requestId, kSceneDungeon);
}

// A common save that cannot be read starts the title as without one; the file stays.
TEST_F(TitleTest, AnUnreadableCommonSaveStartsTheTitleAsWithoutOne) {
    std::ofstream(folder_ / "c000.bin") << "damaged";
    for (const bool readable : {true, false}) {
        controller_ = newController();
        context_.loadSucceeds = readable;
        context_.resets = 0;
        CTitle* title = start();
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->hasCommonSave(), readable);
        lua_getglobal(script(), "hadSave");
        EXPECT_EQ(lua_toboolean(script(), -1) != 0, readable);
        lua_pop(script(), 1);
        EXPECT_EQ(context_.resets, readable ? 0 : 1);
        EXPECT_TRUE(std::filesystem::exists(folder_ / "c000.bin"));
    }
}

TEST_F(TitleTest, TheMovieLoopsWhenThereIsOneAndIsNotNeeded) {
    CTitle* title = start();
    ASSERT_NE(title, nullptr);
    EXPECT_FALSE(title->hasMovie());

    Orvex::Tools::MovieGen::MovieOptions options;
    options.outputPath = "unused.ogv";
    options.width = 64;
    options.height = 48;
    options.frameCount = 10;
    options.fps = 25;
    context_.movies.files[CTitle::kMoviePath] = Orvex::Tools::MovieGen::generateMovie(options);
    controller_ = newController();
    title = start();
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->hasMovie());
}

// Every module the title's script uses must be there: without one the title does not start.
TEST_F(TitleTest, AMissingModuleStopsTheStart) {
    context_.game.factories.erase(Fenwarrow::ScriptModule::kGeneralWindow);
    EXPECT_EQ(start(), nullptr);
}

}  // namespace
