// The developer scenes that show pictures, run in the built run folder where their sample
// pictures lie as plain files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include "engine/scene/OxSceneController.h"
#include "game/scene/developer/CMossbellTest.h"
#include "game/scene/developer/CScriptTest.h"
#include "game/scene/developer/CSpriteTest.h"
#include "engine/system/OxStringConvert.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/scene/SceneTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using namespace Fenwarrow::Scene;
using Orvex::SceneController::OxSceneBase;

// Runs the test in a folder, as the working and the engine's base folder, and comes back.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder)
        : original_(std::filesystem::current_path()), originalBase_(Orvex::System::engineState().baseDirectoryW) {
        std::filesystem::current_path(folder);
        Orvex::System::engineState().baseDirectoryW = TempFolder::engineForm(folder);
    }
    ~InFolder() {
        Orvex::System::engineState().baseDirectoryW = originalBase_;
        std::filesystem::current_path(original_);
    }

private:
    std::filesystem::path original_;
    std::u16string originalBase_;
};

class PictureScenes : public ::testing::Test {
protected:
    void SetUp() override { context_.startGraphics(); }

    // Holds exactly these virtual keys for one update of the scene.
    void hold(OxSceneBase& scene, std::initializer_list<uint32_t> down) {
        context_.keys.swapBuffers();
        for (uint32_t key = 0; key < context_.keys.getKeyCount(); ++key) {
            context_.keys.setDown(key, std::find(down.begin(), down.end(), key) != down.end());
        }
        ASSERT_TRUE(scene.update());
    }

    SceneTest::SceneTestContext context_;
};

TEST_F(PictureScenes, SpriteCheckNeedsItsPicture) {
    {
        TempFolder empty;
        InFolder nowhere(empty.path());
        CSpriteTest scene(context_);
        EXPECT_FALSE(scene.initialize());
    }
    InFolder run(ORVEX_RUN_DIR);
    CSpriteTest scene(context_);
    ASSERT_TRUE(scene.initialize());
    EXPECT_TRUE(scene.draw());
}

TEST_F(PictureScenes, SpriteAnimationWalksTheCharacterAndTurnsOncePerNewKey) {
    InFolder run(ORVEX_RUN_DIR);
    CMossbellTest scene(context_);
    ASSERT_TRUE(scene.initialize());
    auto& object = scene.getObject();
    // The variant first, then the character; 24 frames over the first sheet's chips.
    ASSERT_EQ(object.getTextureCount(), 2u);
    EXPECT_EQ(object.getTextureList().at(0)->getFileName(), u"Tex 1");
    EXPECT_EQ(object.getTextureList().at(1)->getFileName(), u"Tex 0");
    ASSERT_EQ(object.getAnimationDataList().size(), 24u);
    EXPECT_EQ(object.getAnimationDataList().at(7)->chipIndex, 5u);
    EXPECT_EQ(scene.getDirection(), 2u);

    for (int frame = 0; frame < 10; ++frame) {
        hold(scene, {3});  // left
    }
    EXPECT_EQ(scene.getDirection(), 3u);
    EXPECT_NEAR(scene.getX(), -32.0f, 1e-3f);
    // Turning restarts the walk; holding on lets it run.
    EXPECT_GT(object.getCurrentTime(), 0.1f);
    const float walked = object.getCurrentTime();

    hold(scene, {3, 0});  // up pressed while left is held: faces up, once
    EXPECT_EQ(scene.getDirection(), 0u);
    const float afterTurn = object.getCurrentTime();
    EXPECT_LT(afterTurn, walked);
    for (int frame = 0; frame < 5; ++frame) {
        hold(scene, {3, 0});
    }
    EXPECT_EQ(scene.getDirection(), 0u);
    EXPECT_GT(object.getCurrentTime(), afterTurn);
    EXPECT_NEAR(scene.getY(), -6 * 3.2f, 1e-3f);
    EXPECT_TRUE(scene.draw());
}

TEST_F(PictureScenes, ScriptCheckRunsTheSampleScriptOnItsOwnSamples) {
    InFolder run(ORVEX_RUN_DIR);
    ASSERT_EQ(
        context_.game.reader.openArchives({TempFolder::engineForm(std::filesystem::path(ORVEX_RUN_DIR) / "d000.bin")},
                                          Orvex::FileArchiver::OxArchiveOptions{}),
        0u)
        << Orvex::System::narrow(context_.game.reader.getLastError());
    CScriptTest scene(context_);
    ASSERT_TRUE(scene.initialize());
    // The script built the first sample from its walking sheet and faces down (range 2).
    auto& walker = scene.getSampleObject(0);
    EXPECT_EQ(walker.getTextureCount(), 1u);
    EXPECT_EQ(walker.getAnimationDataList().size(), 16u);
    EXPECT_EQ(walker.getPlayRangeList().size(), 4u);
    EXPECT_TRUE(walker.isPlayingFromPlayRangeIndex(2));
    EXPECT_EQ(scene.getSampleObject(1).getTextureCount(), 0u);
    for (int frame = 0; frame < 30; ++frame) {
        ASSERT_TRUE(scene.update());
        ASSERT_TRUE(scene.draw());
    }
    // Half a second into the facing's 0.4 s loop, which starts 0.8 s into the whole animation.
    EXPECT_NEAR(walker.getCurrentTime(), 0.9f, 0.02f);
    EXPECT_TRUE(scene.finalize());
}

TEST_F(PictureScenes, ScriptCheckHandsOutOnlyItsOwnSamples) {
    TempFolder folder;
    ScriptTest::openArchive(folder, context_.game.reader,
                            {{u"../sample/MossbellLib.lua.lcd", ScriptTest::textBytes(R"(
                                  for _, i in ipairs({ -1, 0, 3, 4, 1000 }) do
                                      local sample = getObj(i)
                                      if sample ~= nil then MossbellLib.setFPS(sample, 10 + i) end
                                  end
                                  function update(dt) end
                                  function draw() end)"),
                              false}});
    CScriptTest scene(context_);
    ASSERT_TRUE(scene.initialize());
    EXPECT_EQ(scene.getSampleObject(0).getFPS(), 10.0f);
    EXPECT_EQ(scene.getSampleObject(3).getFPS(), 13.0f);
    EXPECT_NE(scene.getSampleObject(1).getFPS(), 11.0f);
}

}  // namespace
