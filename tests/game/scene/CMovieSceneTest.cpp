// The movie scenes and the play-demo scene on a test context: where each goes next, with and
// without its movie, and what the skip chord does.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "game/scene/CLogo.h"
#include "game/scene/CPlayDemo.h"
#include "game/scene/SceneNumbers.h"
#include "tests/game/scene/SceneTestContext.h"
#include "tools/moviegen/MovieGenerator.h"

namespace {

using namespace Fenwarrow::Scene;
using Orvex::SceneController::OxSceneController;
using SceneTest::SceneTestContext;

// A small movie long enough (ten seconds) to be still playing whenever a test looks.
std::vector<uint8_t> longMovie() {
    Orvex::Tools::MovieGen::MovieOptions options;
    options.outputPath = "unused.ogv";
    options.width = 64;
    options.height = 48;
    options.frameCount = 250;
    options.fps = 25;
    options.withSound = false;
    return Orvex::Tools::MovieGen::generateMovie(options);
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        context_.startGraphics();
        controller_ = std::make_unique<OxSceneController>(std::make_shared<CSceneFactory>(context_), -1);
    }
    void TearDown() override { controller_.reset(); }

    void addMovie(const std::u16string& path) { context_.movies.files[path] = longMovie(); }

    // Pushes the scene and runs one update; true when the scene asked for nothing.
    bool pushAndUpdate(int32_t scene) {
        EXPECT_TRUE(controller_->pushScene(scene));
        EXPECT_TRUE(controller_->update());
        return controller_->requestKind == Orvex::SceneController::kRequestNone;
    }
    void expectChangeTo(int32_t scene) {
        EXPECT_EQ(controller_->requestKind, static_cast<uint32_t>(kRequestChange));
        EXPECT_EQ(controller_->requestId, scene);
    }

    SceneTestContext context_;
    std::unique_ptr<OxSceneController> controller_;
};

TEST_F(SceneTest, MovieScenesWithoutTheirMovieLeaveOnTheFirstUpdate) {
    struct Case {
        int32_t scene;
        int32_t next;
    };
    context_.settingData.getMovieSetting().nextScene = kSceneTitle;
    for (const Case& c :
         {Case{kSceneLogo, kSceneTitle}, Case{kScenePromotion, kScenePlayDemo}, Case{kSceneMovie, kSceneTitle}}) {
        controller_ = std::make_unique<OxSceneController>(std::make_shared<CSceneFactory>(context_), -1);
        EXPECT_FALSE(pushAndUpdate(c.scene)) << c.scene;
        expectChangeTo(c.next);
    }
}

TEST_F(SceneTest, LogoStaysWhileItsMovieRunsAndIgnoresTheSkipChord) {
    addMovie(u"Movie/QuillmarkLogo.ogv");
    EXPECT_TRUE(pushAndUpdate(kSceneLogo));
    EXPECT_EQ(context_.movies.opens, 1);
    context_.pressSkipChord(true);
    EXPECT_TRUE(controller_->update());
    EXPECT_EQ(controller_->requestKind, Orvex::SceneController::kRequestNone);

    // Its drawing goes to the frame's queue at the background layer.
    ASSERT_TRUE(controller_->draw());
    EXPECT_EQ(context_.queue.size(), 1u);
}

TEST_F(SceneTest, PromotionLeavesForThePlayDemoOnTheSkipChord) {
    addMovie(u"Movie/Promotion.ogv");
    EXPECT_TRUE(pushAndUpdate(kScenePromotion));
    context_.pressSkipChord(true);
    // The player stops on its own thread: the change follows once it has.
    for (int frame = 0; frame < 500 && controller_->requestKind == Orvex::SceneController::kRequestNone; ++frame) {
        ASSERT_TRUE(controller_->update());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    expectChangeTo(kScenePlayDemo);
}

TEST_F(SceneTest, MovieScenePlaysTheSettingsMovieAndGoesWhereTheyName) {
    const std::u16string path = u"Movie/Opening.ogv";
    addMovie(path);
    auto& movie = context_.settingData.getMovieSetting();
    std::copy(path.begin(), path.end(), movie.path.begin());
    movie.nextScene = kSceneTitle;

    EXPECT_TRUE(pushAndUpdate(kSceneMovie));
    EXPECT_EQ(context_.movies.opens, 1);
    EXPECT_EQ(context_.frameTimerResets, 1);  // the load is not taken as a late frame
    context_.pressSkipChord(true);
    EXPECT_TRUE(controller_->update());
    expectChangeTo(kSceneTitle);
}

TEST_F(SceneTest, MovieSceneWithoutANextSceneReturnsToTheSceneThatCalledIt) {
    context_.settingData.getMovieSetting().nextScene = 0;
    ASSERT_TRUE(controller_->pushScene(kSceneStartUp));
    context_.pressSkipChord(true);
    ASSERT_TRUE(controller_->pushScene(kSceneMovie));
    EXPECT_TRUE(controller_->update());  // the return is carried out in the same update
    EXPECT_EQ(controller_->getCurrentSceneId(), kSceneStartUp);
}

TEST_F(SceneTest, PlayDemoDrawsAndChangesToTheTitleOnItsThirtiethUpdate) {
    ASSERT_TRUE(controller_->pushScene(kScenePlayDemo));
    for (int frame = 1; frame < 30; ++frame) {
        ASSERT_TRUE(controller_->update());
        ASSERT_EQ(controller_->requestKind, Orvex::SceneController::kRequestNone) << frame;
        ASSERT_TRUE(controller_->draw());
    }
    ASSERT_TRUE(controller_->update());
    expectChangeTo(kSceneTitle);
}

}  // namespace
