#include "game/replay/CReplayController.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/serialization/OxSerializer.h"
#include "game/replay/CReplayDevice.h"
#include "game/save/CSaveDataController.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/replay/ReplayTestSupport.h"

namespace {

using namespace Fenwarrow::Replay;
namespace fs = std::filesystem;

class ReplayControllerTest : public ::testing::Test {
protected:
    // Records `steps` input steps and returns the frames the game saw, in order.
    std::vector<CReplayFrame> record(CReplayController& controller, uint32_t steps) {
        std::vector<CReplayFrame> seen;
        for (uint32_t i = 0; i < steps; ++i) {
            game.advance(busyPattern);
            controller.update();
            seen.push_back(CReplayInfo::makeFrame(game.live, game.playTime));
        }
        return seen;
    }

    std::vector<fs::path> filesIn(const std::string& directory) const {
        std::vector<fs::path> files;
        if (fs::exists(folder / directory)) {
            for (const auto& entry : fs::directory_iterator(folder / directory)) files.push_back(entry.path());
        }
        return files;
    }

    std::u16string onlyReplayFile() const {
        const auto files = filesIn("Replay");
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? u"" : u"Replay/" + Orvex::System::widen(files[0].filename().string());
    }

    TempFolder folder;
    ReplayTestGame game;
};

TEST_F(ReplayControllerTest, RecordingSpillsChunksOf602Frames) {
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    const auto seen = record(controller, 602);
    EXPECT_TRUE(controller.getInfo()->getFrames().empty());
    EXPECT_EQ(controller.getFrameIndex(), 0u);
    CReplayInfo chunk;
    ASSERT_TRUE(loadReplayFile(chunk, u"Temp/replay000000.tmp"));
    EXPECT_EQ(chunk.getFrames(), seen);
    EXPECT_EQ(chunk.getSeed(), game.random.getSeed());

    record(controller, 1);
    EXPECT_EQ(controller.getInfo()->getFrames().size(), 1u);
    EXPECT_EQ(controller.getChunkIndex(), 1u);
    EXPECT_EQ(filesIn("Temp").size(), 1u);
}

TEST_F(ReplayControllerTest, AFinishedRunBecomesOneReplayThatPlaysBack) {
    CReplayController controller(game);
    const uint32_t seed = game.random.getSeed();
    controller.setMode(CReplayController::kModeRecording);
    controller.getInfo()->setDungeonScript(u"Dungeon/DEMO10/00/00/001.lua");
    const auto seen = record(controller, 1300);
    EXPECT_EQ(controller.getStepCount(), 1300u);
    // What the result scene does at the end of a recorded run.
    controller.mergeTempChunks();
    ASSERT_TRUE(controller.saveReplay());
    controller.clear();
    EXPECT_TRUE(filesIn("Temp").empty());

    ASSERT_TRUE(controller.loadReplay(onlyReplayFile()));
    const auto info = controller.getInfo();
    EXPECT_EQ(info->getSeed(), seed);
    EXPECT_EQ(info->getDungeonScript(), u"Dungeon/DEMO10/00/00/001.lua");
    EXPECT_EQ(info->getPlayerName(), u"テスター");
    ASSERT_EQ(info->getFrames(), seen);

    controller.setMode(CReplayController::kModePlayback);
    controller.start();
    for (std::size_t i = 0; i < seen.size(); ++i) {
        controller.update();
        ASSERT_EQ(CReplayInfo::makeFrame(*controller.getVirtualKey(), seen[i].playTime), seen[i]) << i;
        ASSERT_EQ(controller.getState(), CReplayController::kStateRunning);
        ASSERT_EQ(controller.getStepCount(), i + 1);
    }
    controller.update();  // one step past the end: the last frame again, and finished
    EXPECT_EQ(controller.getStepCount(), seen.size());
    EXPECT_EQ(CReplayInfo::makeFrame(*controller.getVirtualKey(), seen.back().playTime), seen.back());
    EXPECT_EQ(controller.getState(), CReplayController::kStateFinished);
    EXPECT_EQ(controller.getSpeedStep(), 1u);
}

TEST_F(ReplayControllerTest, ARunCutShortIsSavedAtTheNextStart) {
    std::vector<CReplayFrame> seen;
    {
        CReplayController controller(game);
        controller.setMode(CReplayController::kModeRecording);
        seen = record(controller, 1250);  // two chunks on disk, 46 frames lost with the process
    }
    seen.resize(1204);
    // "Replay" cannot become a directory: the recovered run has nowhere to go, so its chunks stay.
    folder.writeFile("Replay", {1});
    { CReplayController controller(game); }
    EXPECT_EQ(filesIn("Temp").size(), 2u);

    fs::remove(folder / "Replay");
    CReplayController controller(game);
    EXPECT_TRUE(filesIn("Temp").empty());
    CReplayInfo recovered;
    ASSERT_TRUE(loadReplayFile(recovered, onlyReplayFile()));
    EXPECT_EQ(recovered.getFrames(), seen);
    // The controller's own replay is a fresh one for the next run.
    EXPECT_TRUE(controller.getInfo()->getFrames().empty());
    EXPECT_EQ(controller.getInfo()->getSeed(), game.random.getSeed());
}

// The chunks are the only copy of a run on disk until its replay file exists: a merge whose
// replay cannot be written (or a program stopped between the two) loses nothing.
TEST_F(ReplayControllerTest, ChunksAreDeletedOnlyOnceTheReplayIsWrittenOrDeclined) {
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    const auto seen = record(controller, 1300);
    folder.writeFile("Replay", {1});
    controller.mergeTempChunks();
    EXPECT_EQ(controller.getInfo()->getFrames(), seen);
    EXPECT_FALSE(controller.saveReplay());
    EXPECT_EQ(filesIn("Temp").size(), 2u);

    fs::remove(folder / "Replay");
    ASSERT_TRUE(controller.saveReplay());
    EXPECT_TRUE(filesIn("Temp").empty());
    CReplayInfo saved;
    ASSERT_TRUE(loadReplayFile(saved, onlyReplayFile()));
    EXPECT_EQ(saved.getFrames(), seen);

    // A player who declines the replay lets its chunks go.
    controller.reset();
    controller.setMode(CReplayController::kModeRecording);
    record(controller, 700);
    controller.mergeTempChunks();
    EXPECT_EQ(filesIn("Temp").size(), 1u);
    controller.deleteMergedChunks();
    EXPECT_TRUE(filesIn("Temp").empty());
}

// A chunk that cannot be written keeps its frames in memory; the next chunk written carries
// them under the same number, so the merged run is whole and without a gap.
TEST_F(ReplayControllerTest, AChunkThatCannotBeWrittenKeepsItsFrames) {
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    folder.writeFile("Temp", {1});
    const auto first = record(controller, 602);
    EXPECT_EQ(controller.getInfo()->getFrames(), first);
    EXPECT_EQ(controller.getChunkIndex(), 0u);

    fs::remove(folder / "Temp");
    auto seen = first;
    for (const auto& frame : record(controller, 610)) seen.push_back(frame);
    EXPECT_EQ(controller.getInfo()->getFrames().size(), 8u);
    // The frames that waited for their chunk count as steps all the same.
    EXPECT_EQ(controller.getStepCount(), 1212u);
    CReplayInfo chunk;
    ASSERT_TRUE(loadReplayFile(chunk, u"Temp/replay000000.tmp"));
    EXPECT_EQ(chunk.getFrames().size(), 1204u);
    controller.mergeTempChunks();
    EXPECT_EQ(controller.getInfo()->getFrames(), seen);
}

// Chunks of a run whose recovery failed stay on disk; the next run writes its chunks over the
// first of them. Its merge must stop at the first chunk that is not its own, or the earlier
// run's frames would be spliced into the middle of this one.
TEST_F(ReplayControllerTest, MergeStopsAtAChunkLeftByAnEarlierRun) {
    {
        CReplayController cutShort(game);
        cutShort.setMode(CReplayController::kModeRecording);
        record(cutShort, 602 * 3 + 5);
    }
    folder.writeFile("Replay", {1});  // the recovery at the next start cannot save
    CReplayController controller(game);
    EXPECT_EQ(filesIn("Temp").size(), 3u);
    controller.setMode(CReplayController::kModeRecording);
    const auto seen = record(controller, 602 + 9);
    controller.mergeTempChunks();
    EXPECT_EQ(controller.getInfo()->getFrames(), seen);
}

TEST_F(ReplayControllerTest, MergeStopsAtAGapOrAChunkOfAnotherRun) {
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    const auto seen = record(controller, 602 * 2 + 5);
    // Chunk 2 left behind by an earlier run, and chunk 4 after a gap.
    CReplayInfo other(game.random, u"Other");
    other.getFrames().resize(3);
    ASSERT_TRUE(saveReplayFile(other, u"Temp/replay000002.tmp"));
    ASSERT_TRUE(saveReplayFile(*controller.getInfo(), u"Temp/replay000004.tmp"));

    controller.mergeTempChunks();
    EXPECT_EQ(controller.getInfo()->getFrames(), seen);
    EXPECT_EQ(controller.getInfo()->getPlayerName(), u"テスター");
    ASSERT_TRUE(controller.saveReplay());
    EXPECT_EQ(filesIn("Temp").size(), 2u);  // only the chunks merged are deleted
}

TEST_F(ReplayControllerTest, MergeStopsAtADamagedChunkAndKeepsNoneOfItsFrames) {
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    const auto seen = record(controller, 602 * 3 + 5);
    // Chunk 1 loses the last byte of its result: every frame of it decodes, the chunk does not.
    Fenwarrow::CSaveDataController container;
    Orvex::Serialization::OxSerializer body;
    ASSERT_TRUE(container.readContainer(body, u"Temp/replay000001.tmp"));
    Orvex::Serialization::OxSerializer cut;
    cut.writeBlock(body.getBuffer().data(), body.getBuffer().size() - 1);
    container.prepareHeader();
    ASSERT_TRUE(container.writeContainer(cut, u"Temp/replay000001.tmp"));

    controller.mergeTempChunks();
    std::vector<CReplayFrame> expected(seen.begin(), seen.begin() + 602);
    expected.insert(expected.end(), seen.end() - 5, seen.end());
    EXPECT_EQ(controller.getInfo()->getFrames(), expected);
    ASSERT_TRUE(controller.saveReplay());
    EXPECT_EQ(filesIn("Temp").size(), 2u);  // the damaged chunk and the one after it stay
}

TEST_F(ReplayControllerTest, PlaybackSpeedFollowsTheTableFromTheNextStep) {
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    controller.setSpeed(3);  // not in playback: ignored
    EXPECT_EQ(controller.getSpeedIndex(), 0u);
    record(controller, 40);
    controller.mergeTempChunks();
    ASSERT_TRUE(controller.saveReplay());
    ASSERT_TRUE(controller.loadReplay(onlyReplayFile()));
    controller.setMode(CReplayController::kModePlayback);
    controller.start();

    struct Step {
        uint32_t request;
        uint32_t index;
        uint32_t step;
    } steps[] = {{0u - 1u, 0, 1}, {1, 1, 2}, {2, 2, 4}, {3, 3, 8}, {4, 4, 16}, {5, 0, 1}, {9, 4, 16}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.request);
        const uint32_t before = controller.getSpeedStep();
        controller.setSpeed(s.request);
        EXPECT_EQ(controller.getSpeedIndex(), s.index);
        EXPECT_EQ(controller.getSpeedStep(), before);
        controller.update();
        EXPECT_EQ(controller.getSpeedStep(), s.step);
    }
}

TEST_F(ReplayControllerTest, StatesModesAndEmptyReplays) {
    CReplayController controller(game);
    using C = CReplayController;
    struct Transition {
        bool (C::*operation)();
        uint32_t from;
        uint32_t to;
    } transitions[] = {
        {&C::start, C::kStateStopped, C::kStateRunning},  {&C::start, C::kStatePaused, C::kStatePaused},
        {&C::pause, C::kStateRunning, C::kStatePaused},   {&C::pause, C::kStateStopped, C::kStateStopped},
        {&C::resume, C::kStatePaused, C::kStateRunning},  {&C::resume, C::kStateFinished, C::kStateFinished},
        {&C::finish, C::kStatePaused, C::kStateFinished}, {&C::stop, C::kStateFinished, C::kStateStopped},
    };
    for (const Transition& t : transitions) {
        controller.stop();
        if (t.from != C::kStateStopped) {
            controller.start();
            if (t.from == C::kStatePaused) controller.pause();
            if (t.from == C::kStateFinished) controller.finish();
        }
        ASSERT_EQ(controller.getState(), t.from);
        EXPECT_TRUE((controller.*t.operation)());
        EXPECT_EQ(controller.getState(), t.to);
    }

    // Mode off: the key table is a fresh snapshot of the live keys.
    game.advance([](uint32_t, uint32_t key) { return key == 2; });
    EXPECT_TRUE(controller.getVirtualKey()->isPushed(2));
    EXPECT_EQ(controller.getCurrentFrame(), nullptr);

    // Playback of a replay without frames finishes at the first step.
    controller.reset();
    controller.setMode(C::kModePlayback);
    controller.start();
    controller.update();
    EXPECT_EQ(controller.getState(), C::kStateFinished);
    EXPECT_EQ(controller.getCurrentFrame(), nullptr);

    // After clear() a script may still switch recording on: nothing is recorded, nothing breaks.
    controller.clear();
    controller.setMode(C::kModeRecording);
    controller.update();
    controller.recordFrame();
    EXPECT_NE(controller.getVirtualKey(), nullptr);
    EXPECT_EQ(controller.getInfo(), nullptr);

    EXPECT_FALSE(controller.loadReplay(u"Replay/missing.lrd"));
    EXPECT_TRUE(controller.getInfo()->getFrames().empty());
    EXPECT_FALSE(controller.loadDefaultReplay());
}

TEST_F(ReplayControllerTest, DeviceShowsTheCurrentFrame) {
    CReplayController controller(game);
    CReplayDevice device(controller);
    device.update();
    EXPECT_FALSE(device.isDown(0));
    EXPECT_EQ(device.getKeyCount(), 12u);
    EXPECT_EQ(device.getKind(), 3u);

    controller.setMode(CReplayController::kModeRecording);
    game.advance([](uint32_t, uint32_t key) { return key == 4; });
    controller.update();
    device.update();
    EXPECT_TRUE(device.isDown(4));
    EXPECT_TRUE(device.isPushed(4));
    EXPECT_FALSE(device.isDown(5));
    EXPECT_FALSE(device.isDown(12));
    controller.clear();  // the device keeps its own copy
    EXPECT_TRUE(device.isDown(4));
    device.update();
    EXPECT_FALSE(device.isDown(4));
}

}  // namespace
