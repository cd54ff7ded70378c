// The real program, headless, driven by recorded keys from the title into each developer scene:
// through the extras to the scene selector and on from it, or through the extras' list of test
// scenes. A frame taken once the scene has settled is compared with a checked-in reference.
// Test scenes never leave, so each run ends with SIGTERM once its frames are taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/smoke/FlowKeyScript.h"
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
    double tolerance;       // mean difference per channel, over the region
    // Where the scene shows its content; the rest of its frame is black or changes with the clock.
    SmokeTest::Region region{};
};

// A failing run names its scene and reference instead of dumping the parameter's bytes.
std::ostream& operator<<(std::ostream& out, const Route& route) {
    return out << route.name << " (" << route.reference << ", tolerance " << route.tolerance << ")";
}

// A comparison can fail only when the region of its reference is far from what a scene that drew
// nothing, or the selector still shown, would give.
constexpr double kReferenceMargin = 4.0;
constexpr const char* kSelectorReference = "developer_selector.png";

// Frames are taken well after the last key: a frame is presented at most once per read.
constexpr int kFrame = 1000;
constexpr int kLastFrame = 1060;

class DeveloperRun : public SmokeTest::RunFolderTest {
protected:
    // Runs the program along `keys` until frame kLastFrame is taken; the run must end in order.
    SmokeTest::ProgramRun run(const std::string& keys) { return run(keys, {kFrame, kLastFrame}); }
    // The same with the frames to take; the run is ended once the last of them is taken.
    SmokeTest::ProgramRun run(const std::string& keys, const std::vector<int>& taken) {
        std::string frames;
        for (const int number : taken) {
            frames += (frames.empty() ? "" : ",") + std::to_string(number);
        }
        SmokeTest::SignalLater stop{SIGTERM, std::chrono::milliseconds(200),
                                    runDirectory_ / ("frame" + std::to_string(taken.back()) + ".png")};
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
    SmokeTest::offerForRenewal(route.reference, taken);
    EXPECT_LT(SmokeTest::meanDifference(taken, reference, route.region), route.tolerance);

    const SmokeTest::Image black{reference.width, reference.height,
                                 std::vector<unsigned char>(reference.rgb.size(), 0)};
    EXPECT_GT(SmokeTest::meanDifference(reference, black, route.region), kReferenceMargin * route.tolerance);
    if (std::string(route.reference) != kSelectorReference) {
        const SmokeTest::Image selector =
            SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / kSelectorReference);
        ASSERT_EQ(selector.rgb.size(), reference.rgb.size());
        EXPECT_GT(SmokeTest::meanDifference(reference, selector, route.region), kReferenceMargin * route.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Developer, DeveloperSceneRun,
    ::testing::Values(
        Route{"Selector", toSelector(), kSelectorReference, 1.0, {80, 96, 120, 140}},
        Route{"DebugRoom", toSelector() + pressKey(480, "3"), "developer_debug_room.png", 1.0, {80, 96, 128, 24}},
        Route{"DungeonList", toDungeonList(), "developer_dungeon_list.png", 1.0, {80, 96, 120, 96}},
        // The trial dungeon's first floor is laid out by hand and has no enemies: the same
        // picture whichever way it is reached.
        Route{"SelectorDungeon", toSelector() + pressKey(480, "2"), "developer_r99_001.png", 2.0},
        Route{"DungeonListR99", fromDungeonList(5), "developer_r99_001.png", 2.0},
        // The selector's entries 4, 5 and 8 open the world map, in its own boot mode, in
        // "adventure" and in "shrine" mode; the map's script shows all three alike, as the world map
        // is shown on the way back from a dive.
        Route{"SelectorWorldMap", toSelector() + pressKey(480, "4"), "world_map.png", 2.0},
        Route{"SelectorAdventure", toSelector() + pressKey(480, "5"), "world_map.png", 2.0},
        Route{"SelectorShrine", toSelector() + pressKey(480, "8"), "world_map.png", 2.0},
        Route{"AudioTest", toSelector() + pressKey(480, "6"), "developer_audio.png", 1.0, {8, 6, 176, 20}},
        Route{"FontTest", toTestScene(0), "developer_font.png", 1.0},
        Route{"SpriteTest", toTestScene(1), "developer_sprite.png", 1.0},
        // Up held from read 620 on: the keyboard's key and the virtual key it stands for.
        Route{"InputTest", toTestScene(2) + "620:Up+,", "developer_input.png", 1.0, {6, 8, 316, 332}},
        // The Z that chose the scene also stops the character; X plays it again. It walks on
        // the clock and the time is printed, so the keys' help and the play state are compared.
        Route{"SpriteAnimationTest",
              toTestScene(4) + pressKey(600, "X"),
              "developer_sprite_animation.png",
              3.0,
              {4, 536, 352, 64}},
        // The character the script puts in the middle of the screen; it walks on the clock.
        Route{"ScriptTest", toTestScene(5), "developer_script.png", 7.5, {360, 250, 80, 110}}),
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

// The sound check tells each change of a sound's state: up plays the first copy of the jingle,
// left the streamed piece, and space stops what still plays. Right and down stay unpressed.
TEST_F(DeveloperRun, TheSoundChecksKeysPlayAndStopItsSounds) {
    const std::string keys =
        toSelector() + pressKey(480, "6") + pressKey(600, "Up") + pressKey(640, "Left") + pressKey(760, "Space");
    const SmokeTest::ProgramRun ended = run(keys);
    ASSERT_TRUE(ended.exited && ended.exitCode == 0) << ended.describe();
    const std::string& out = ended.output;
    const std::size_t jingle = out.find("AudioTest: sound 0 (SE/jg000.wav) playing");
    const std::size_t stream = out.find("AudioTest: sound 3 (BGM/test2.ogg) playing");
    const std::size_t stopped = out.find("AudioTest: sound 3 (BGM/test2.ogg) stopped");
    ASSERT_NE(jingle, std::string::npos) << ended.describe();
    ASSERT_NE(stream, std::string::npos) << ended.describe();
    ASSERT_NE(stopped, std::string::npos) << ended.describe();
    EXPECT_LT(jingle, stream);
    EXPECT_LT(stream, stopped);
    EXPECT_EQ(out.find("AudioTest: sound 1"), std::string::npos) << ended.describe();
    EXPECT_EQ(out.find("AudioTest: sound 2"), std::string::npos) << ended.describe();
}

// The selector's first entry starts the program over (its logo, then the title), the seventh
// opens the title and the ninth the extras. One run visits all three, back to the selector each
// time through the extras. The game presents at most one frame per keyboard read, so each scene
// is looked for in every 10th frame from 60 % of its first read on.
TEST_F(DeveloperRun, TheSelectorStartsTheExtrasTheTitleAndThePlayFromTheStart) {
    SmokeTest::FlowKeyScript keys(300);
    const auto toSelectorFromTitle = [&keys] {
        keys.press("Up", 2).press("Z").wait(60).press("Down", 6).press("Z").wait(40);
    };
    std::vector<int> frames;
    const auto window = [&frames, &keys](int from) {
        std::vector<int> numbers;
        for (int number = from * 6 / 10; number <= keys.read(); number += 10) numbers.push_back(number);
        frames.insert(frames.end(), numbers.begin(), numbers.end());
        return numbers;
    };
    toSelectorFromTitle();
    keys.press("9");
    const int extrasFrom = keys.read() + 60;
    keys.wait(150);
    const std::vector<int> extras = window(extrasFrom);
    keys.press("Down", 6).press("Z").wait(40).press("7");
    const int titleFrom = keys.read() + 100;
    keys.wait(200);
    const std::vector<int> title = window(titleFrom);
    toSelectorFromTitle();
    keys.press("1");
    const int logoFrom = keys.read();
    keys.wait(120);
    const std::vector<int> logo = window(logoFrom);
    const int startTitleFrom = keys.read() + 200;
    keys.wait(300);
    const std::vector<int> startTitle = window(startTitleFrom);
    const SmokeTest::ProgramRun ended = run(keys.text(), frames);
    ASSERT_TRUE(ended.exited && ended.exitCode == 0) << ended.describe();

    // The title's sky plays a movie: its lower part is compared.
    const SmokeTest::Region titleMenu{0, 240, 800, 360};
    const auto closest = [this](const std::vector<int>& numbers, const char* name, const SmokeTest::Region& region) {
        return SmokeTest::closestFrame(runDirectory_, numbers,
                                       SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / name), region, name);
    };
    EXPECT_LT(closest(extras, "extras.png", {}), 3.0) << ended.describe();
    EXPECT_LT(closest(title, "title_faded_in.png", titleMenu), 3.0) << ended.describe();
    EXPECT_LT(closest(logo, "logo_frame60.png", {}), 3.0) << ended.describe();
    EXPECT_LT(closest(startTitle, "title_faded_in.png", titleMenu), 3.0) << ended.describe();
}

}  // namespace
