// The real program, headless, plays the demo dungeon from the title to the world map with the
// recorded keys of DemoDiveKeys.h, on floors made the same on every run by seeded scripts in the
// patch archive: the first floor to its stairs, the shop of the second floor (a sale, a purchase
// and a robbery), the monster house of the third floor and its stairs, the story, the result
// with the replay kept, and the world map. Each stage is looked for among the frames captured
// around it, in parts of the screen that do not depend on the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/replay/CReplayInfo.h"
#include "tests/smoke/ArchiveImage.h"
#include "tests/smoke/DemoDiveKeys.h"
#include "tests/smoke/FrameImage.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using SmokeTest::Image;

using SmokeTest::Region;

// A stage of the dive: the reference picture of a part of the screen (the file holds just that
// part) and the keyboard reads between which it is shown.
struct Stage {
    const char* reference;
    Region area;
    int fromRead;
    int toRead;
};

// The frames that may show what the keys from `fromRead` to `toRead` see. The game reads the
// keys once per update and presents at most once per update; on a loaded machine it presents
// fewer frames than it reads (down to some 70 % of them), so the window reaches back before
// the first read.
std::vector<int> framesFor(const Stage& stage) {
    std::vector<int> frames;
    for (int frame = stage.fromRead * 65 / 100 / 20 * 20; frame <= stage.toRead; frame += 20) {
        frames.push_back(frame);
    }
    return frames;
}

class DemoDive : public SmokeTest::RunFolderTest {
protected:
    void SetUp() override {
        SmokeTest::RunFolderTest::SetUp();
        // A first run: no common save, no replay yet.
        fs::remove(runDirectory_ / "c000.bin");
        fs::remove_all(runDirectory_ / "Replay");
        // The seeded scripts join the patch archive, whose entries win.
        ASSERT_EQ(SmokeTest::addToPatchArchive(runDirectory_,
                                               SmokeTest::demoFloorChunks(SEEDED_CHUNK_DIR, {"Setup", "002", "003"})),
                  "");
    }

    // The closest of the stage's frames to its reference, over the reference's part.
    double closestFrame(const Stage& stage) const {
        const Image expected = SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / stage.reference);
        EXPECT_EQ(expected.width, stage.area.width) << stage.reference;
        return SmokeTest::closestCutFrame(runDirectory_, framesFor(stage), expected, stage.area, stage.reference);
    }
};

}  // namespace

// Sells the sword found on the first floor and buys a tag in the shop, walks out owing for more
// (the robber story), enters the monster house, takes the last stairs to the story and the
// result, keeps the replay and reaches the world map: each stage as its reference shows it, the
// run's state on the debug output, and the common save and the replay written.
TEST_F(DemoDive, PlaysTheDemoDungeonFromTheTitleToTheWorldMap) {
    const SmokeTest::DemoDive dive = SmokeTest::demoDive();
    const Region log{40, 460, 600, 90};
    const Region story{40, 460, 720, 70};
    const std::vector<Stage> stages = {
        {"dive_shop_sold.png", log, dive.shopSold, dive.shopBought},
        {"dive_shop_bought.png", log, dive.shopBought - 100, dive.robbery},
        {"dive_robbery.png", story, dive.robbery - 150, dive.robbery + 120},
        {"dive_monster_house.png", log, dive.monsterHouse - 100, dive.story},
        {"dive_story.png", story, dive.story, dive.story + 450},
        {"dive_result_cleared.png", {0, 0, 800, 90}, dive.result, dive.worldMap},
        {"dive_replay_prompt.png", {125, 150, 550, 70}, dive.result + 380, dive.result + 500},
        {"dive_world_map.png", {0, 0, 800, 580}, dive.worldMap + 100, dive.end},
    };
    std::string capture;
    int lastFrame = 0;
    for (const Stage& stage : stages) {
        for (const int frame : framesFor(stage)) {
            capture += (capture.empty() ? "" : ",") + std::to_string(frame);
            lastFrame = std::max(lastFrame, frame);
        }
    }
    const auto started = std::chrono::steady_clock::now();
    SmokeTest::SignalLater end{SIGTERM, std::chrono::milliseconds(500),
                               runDirectory_ / ("frame" + std::to_string(lastFrame) + ".png")};
    const SmokeTest::ProgramRun run =
        SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_,
                              {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_CAPTURE_FRAMES=" + capture,
                               "ORVEX_CAPTURE_DIR=" + runDirectory_.string(), "ORVEX_INPUT_KEYS=" + dive.keys},
                              std::chrono::seconds(400), end);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("the dive took %.1f s\n", seconds);

    ASSERT_TRUE(run.exited && run.exitCode == 0) << run.describe();
    for (const char* fault : {"could not be started", "Failed initialize dungeon", "Lua error",
                              "is not in the archives", "terminate called", "runtime error:"}) {
        EXPECT_EQ(run.output.find(fault), std::string::npos) << fault << "\n" << run.describe();
    }
    for (const Stage& stage : stages) {
        EXPECT_LT(closestFrame(stage), 3.0) << stage.reference;
    }
    // The result reported the cleared dive on its last floor, wrote the common save and kept the
    // replay of the dive.
    // The money is the sword's 300 less the tag's 260; the sword put down is no longer carried
    // (it was taken again, unpaid, with the shield on the way out).
    EXPECT_NE(run.output.find("Dive ended: floor 3,"), std::string::npos) << run.describe();
    EXPECT_NE(run.output.find("money 40, items 300 110 100\n"), std::string::npos) << run.describe();
    EXPECT_GT(fs::exists(runDirectory_ / "c000.bin") ? fs::file_size(runDirectory_ / "c000.bin") : 0u, 0u);
    std::vector<fs::path> replays;
    if (fs::is_directory(runDirectory_ / "Replay")) {
        for (const auto& entry : fs::directory_iterator(runDirectory_ / "Replay")) replays.push_back(entry.path());
    }
    ASSERT_EQ(replays.size(), 1u) << run.describe();
    Fenwarrow::Replay::CReplayInfo replay;
    ASSERT_TRUE(Fenwarrow::Replay::loadReplayFile(replay, Orvex::System::widen(replays[0].string())));
    EXPECT_EQ(replay.getDungeonScript(), u"Dungeon/DEMO10/00/00/001.lua");
    EXPECT_FALSE(replay.getFrames().empty());
}
