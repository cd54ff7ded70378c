// The developer scenes that show pictures, run in the built run folder where their sample
// pictures lie as plain files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include "engine/font/OxBitmapFontLoader.h"
#include "engine/graphics/OxColor.h"
#include "engine/scene/OxSceneController.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/scene/developer/CFontTest.h"
#include "game/scene/developer/CMossbellTest.h"
#include "game/scene/developer/CScriptTest.h"
#include "game/scene/developer/CSpriteTest.h"
#include "engine/system/OxStringConvert.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/scene/QuietWindows.h"
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

    // Opens the sample archives of the run folder that hold these names.
    void openArchives(std::initializer_list<const char*> names) {
        std::vector<std::u16string> paths;
        for (const char* name : names) {
            paths.push_back(TempFolder::engineForm(std::filesystem::path(ORVEX_RUN_DIR) / name));
        }
        ASSERT_EQ(context_.game.reader.openArchives(paths, Orvex::FileArchiver::OxArchiveOptions{}), 0u)
            << Orvex::System::narrow(context_.game.reader.getLastError());
    }
    // The font check's services: quiet windows and, unless told otherwise, fonts read from the
    // test's archives.
    SceneServices fontServices(bool withLoader = true) {
        SceneServices services;
        services.windows = std::make_shared<SceneTest::QuietWindows>();
        if (withLoader) {
            // The context outlives every scene of the test.
            std::shared_ptr<Orvex::IO::StreamIO::IOrvexStreamReader> reader(&context_.game.reader, [](auto*) {});
            services.fontLoader = std::make_shared<Orvex::FontLib::OxBitmapFontLoader>(context_.renderer, reader);
            services.fontLoader->setRootDirectory(u"Font");
        }
        return services;
    }

    // The scene's drawing of one frame, which it queues for the frame's render pass.
    void drawFrame(OxSceneBase& scene) {
        ASSERT_TRUE(scene.draw());
        context_.queue.sort();
        context_.queue.draw();
        context_.queue.clear();
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
    drawFrame(scene);
}

TEST_F(PictureScenes, FontCheckShowsItsMarkedUpSampleInAWindow) {
    InFolder run(ORVEX_RUN_DIR);
    openArchives({"d000.bin", "d100.bin"});
    CFontTest scene(context_, fontServices());
    ASSERT_TRUE(scene.initialize());
    ASSERT_NE(scene.getWindow(), nullptr);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_TRUE(scene.update());
        drawFrame(scene);
    }
    const Fenwarrow::CGeneralWindow& window = *scene.getWindow();
    EXPECT_EQ(window.x, 20.0f);
    EXPECT_EQ(window.y, 400.0f);
    EXPECT_EQ(window.getWidth(), 760.0f);
    EXPECT_EQ(window.getHeight(), 190.0f);
    EXPECT_EQ(window.getWindowMode(), Fenwarrow::CGeneralWindow::kModeText);
    EXPECT_EQ(window.text, CFontTest::sampleText());
    // The text and number arguments fill their places; the tags find a colour or an icon name.
    const std::u16string shown = Orvex::FontLib::expandPlaceholders(window.text, window.getParameters());
    EXPECT_NE(shown.find(u"「test」"), std::u16string::npos);
    EXPECT_NE(shown.find(u"「255」"), std::u16string::npos);
    for (const char16_t* tag : {u"<2:COLOR>", u"<3:COLOR>"}) {
        const auto parsed = Orvex::FontLib::parseTagAt(shown, shown.find(tag));
        ASSERT_TRUE(parsed.has_value()) << Orvex::System::narrow(tag);
        const boost::any* argument = Orvex::FontLib::tagParameter(*parsed, window.getParameters());
        ASSERT_NE(argument, nullptr);
        EXPECT_NE(boost::any_cast<Orvex::Graphics::OxColor>(argument), nullptr);
    }
    const auto icon = Orvex::FontLib::parseTagAt(shown, shown.find(u"<7:ICON>"));
    ASSERT_TRUE(icon.has_value());
    const boost::any* cake = Orvex::FontLib::tagParameter(*icon, window.getParameters());
    ASSERT_NE(cake, nullptr);
    EXPECT_EQ(boost::any_cast<std::u16string>(*cake), u"Cake");
}

// Without its font, its window or a picture the check cannot show what it is for.
TEST_F(PictureScenes, FontCheckRefusesToStartWithoutItsFontOrPictures) {
    {
        InFolder run(ORVEX_RUN_DIR);
        CFontTest noLoader(context_, fontServices(false));
        EXPECT_FALSE(noLoader.initialize());
        CFontTest noFontArchive(context_, fontServices());
        EXPECT_FALSE(noFontArchive.initialize());
        SceneServices noWindows = fontServices();
        noWindows.windows = nullptr;
        openArchives({"d100.bin"});
        CFontTest withoutWindows(context_, noWindows);
        EXPECT_FALSE(withoutWindows.initialize());
    }
    TempFolder empty;
    InFolder nowhere(empty.path());
    CFontTest noPictures(context_, fontServices());
    EXPECT_FALSE(noPictures.initialize());
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
    // Standing, it walks on the spot past the end of its cycle (0.6 s), and stays drawn.
    for (int frame = 0; frame < 60; ++frame) {
        hold(scene, {});
    }
    EXPECT_EQ(object.getState(), Orvex::MossbellLib::OxMADObject::kPlaying);

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
    drawFrame(scene);
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
        drawFrame(scene);
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
