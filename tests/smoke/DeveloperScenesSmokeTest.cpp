// The real program, headless, driven by recorded keys from the title into each developer scene:
// through the extras to the scene selector and on from it, or through the extras' list of test
// scenes. A frame taken once the scene has settled is compared with a checked-in reference.
// Test scenes never leave, so each run ends with SIGTERM once its frames are taken.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/smoke/FrameImage.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using SmokeTest::pressKey;

// Recorded keys are counted in keyboard reads; each press takes 8 of them.
std::string pressKeys(int read, const std::string& key, int times) {
    std::string keys;
    for (int i = 0; i < times; ++i) {
        keys += pressKey(read + 8 * i, key);
    }
    return keys;
}

// Title (shown by read 300): up twice from the first entry wraps round to the extras.
std::string toExtras() { return pressKeys(300, "Up", 2) + pressKey(316, "Z"); }

// Extras: the seventh entry opens the scene selector, which reads no keys for 15 updates.
std::string toSelector() { return toExtras() + pressKeys(380, "Down", 6) + pressKey(436, "Z"); }

// Extras: the eighth entry lists the test scenes; `entry` of that list is chosen.
std::string toTestScene(int entry) {
    return toExtras() + pressKeys(380, "Down", 7) + pressKey(444, "Z") + pressKeys(480, "Down", entry) +
           pressKey(540, "Z");
}

// Selector: "3" opens the debug room, whose only entry (Enter, let go) opens the dungeon list.
std::string toDungeonList() { return toSelector() + pressKey(480, "3") + pressKey(540, "Return"); }

// Dungeon list: the cursor starts on the first heading; `line` of the list is chosen.
std::string fromDungeonList(int line) {
    return toDungeonList() + pressKeys(600, "Down", line) + pressKey(660, "Return");
}

struct Route {
    const char* name;
    std::string keys;
    const char* reference;  // under tests/fixtures/smoke
    double tolerance;       // mean difference per channel
};

// A failing run names its scene and reference instead of dumping the parameter's bytes.
std::ostream& operator<<(std::ostream& out, const Route& route) {
    return out << route.name << " (" << route.reference << ", tolerance " << route.tolerance << ")";
}

// Frames are taken well after the last key: a frame is presented at most once per read.
constexpr int kFrame = 1000;
constexpr int kLastFrame = 1060;

class DeveloperRun : public SmokeTest::RunFolderTest {
protected:
    // Runs the program along `keys` until frame kLastFrame is taken; the run must end in order.
    SmokeTest::ProgramRun run(const std::string& keys) {
        const std::string frames = std::to_string(kFrame) + "," + std::to_string(kLastFrame);
        SmokeTest::SignalLater stop{SIGTERM, std::chrono::milliseconds(200),
                                    runDirectory_ / ("frame" + std::to_string(kLastFrame) + ".png")};
        return SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_,
                                     {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_CAPTURE_FRAMES=" + frames,
                                      "ORVEX_CAPTURE_DIR=" + runDirectory_.string(), "ORVEX_INPUT_KEYS=" + keys},
                                     std::chrono::seconds(100), stop);
    }
    // The frame taken, kept in ORVEX_SMOKE_FRAME_DIR when that is set (to look at or to renew a
    // reference).
    SmokeTest::Image frame(const std::string& name) {
        const fs::path taken = runDirectory_ / ("frame" + std::to_string(kFrame) + ".png");
        if (const char* keep = std::getenv("ORVEX_SMOKE_FRAME_DIR"); keep != nullptr && fs::exists(taken)) {
            fs::create_directories(keep);
            fs::copy_file(taken, fs::path(keep) / (name + ".png"), fs::copy_options::overwrite_existing);
        }
        return SmokeTest::loadPng(taken);
    }
};

class DeveloperSceneRun : public DeveloperRun, public ::testing::WithParamInterface<Route> {};

TEST_P(DeveloperSceneRun, ShowsTheSceneAsItsReference) {
    const Route& route = GetParam();
    const SmokeTest::ProgramRun ended = run(route.keys);
    ASSERT_TRUE(ended.exited && ended.exitCode == 0) << ended.describe();
    EXPECT_EQ(ended.output.find("could not be started"), std::string::npos) << ended.describe();
    EXPECT_EQ(ended.output.find("cannot be"), std::string::npos) << ended.describe();
    const SmokeTest::Image taken = frame(route.name);
    ASSERT_EQ(taken.width, 800) << ended.describe();
    const SmokeTest::Image reference = SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / route.reference);
    ASSERT_EQ(reference.rgb.size(), taken.rgb.size()) << route.reference;
    EXPECT_LT(SmokeTest::meanDifference(taken, reference), route.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Developer, DeveloperSceneRun,
    ::testing::Values(Route{"Selector", toSelector(), "developer_selector.png", 1.0},
                      Route{"DebugRoom", toSelector() + pressKey(480, "3"), "developer_debug_room.png", 1.0},
                      Route{"DungeonList", toDungeonList(), "developer_dungeon_list.png", 1.0},
                      // The trial dungeon's first floor is laid out by hand and has no enemies:
                      // the same picture whichever way it is reached.
                      Route{"SelectorDungeon", toSelector() + pressKey(480, "2"), "developer_r99_001.png", 2.0},
                      Route{"DungeonListR99", fromDungeonList(5), "developer_r99_001.png", 2.0},
                      Route{"AudioTest", toSelector() + pressKey(480, "6"), "developer_audio.png", 1.0},
                      Route{"FontTest", toTestScene(0), "developer_font.png", 1.0},
                      Route{"SpriteTest", toTestScene(1), "developer_sprite.png", 1.0},
                      // Up held from read 620 on: the keyboard's key and the virtual key it stands for.
                      Route{"InputTest", toTestScene(2) + "620:Up+,", "developer_input.png", 1.0},
                      // The Z that chose the scene also stops the character; X plays it again. It
                      // walks on the clock, and the time is printed.
                      Route{"SpriteAnimationTest", toTestScene(4) + pressKey(600, "X"),
                            "developer_sprite_animation.png", 3.0},
                      Route{"ScriptTest", toTestScene(5), "developer_script.png", 3.0}),
    [](const ::testing::TestParamInfo<Route>& info) { return std::string(info.param.name); });

// The first dungeon's first floor is laid out anew each run: its HUD is up with the green life
// gauge, and it is not the trial floor.
TEST_F(DeveloperRun, TheDungeonListStartsTheFirstDungeon) {
    const SmokeTest::ProgramRun ended = run(fromDungeonList(1));
    ASSERT_TRUE(ended.exited && ended.exitCode == 0) << ended.describe();
    EXPECT_EQ(ended.output.find("Failed initialize dungeon"), std::string::npos) << ended.describe();
    const SmokeTest::Image taken = frame("DungeonListDEMO10");
    ASSERT_EQ(taken.width, 800) << ended.describe();
    size_t gauge = 0;
    for (size_t i = 0; i + 2 < taken.rgb.size(); i += 3) {
        if (taken.rgb[i + 1] > 150 && taken.rgb[i] < 120 && taken.rgb[i + 2] < 120) {
            ++gauge;
        }
    }
    EXPECT_GT(gauge, 1000u);
    const SmokeTest::Image trial = SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / "developer_r99_001.png");
    ASSERT_EQ(trial.rgb.size(), taken.rgb.size());
    EXPECT_GT(SmokeTest::meanDifference(taken, trial), 10.0);
}

}  // namespace
