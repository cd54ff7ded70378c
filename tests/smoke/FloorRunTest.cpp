// The real program, headless, plays the first floor of the first dungeon with recorded keys.
// The run folder's patch archive gets the dungeon's set-up script with the game's generator
// seeded first, so every run builds the same floor; the game's moves advance by frames and its
// turns wait for the player, so the same keys at the same keyboard reads play the same game.
//
// The floor of that seed (40 x 30 cells): the player starts at (11, 8) in a room spanning
// (7..16, 3..9), left of a trap at (13, 8), with a sword at (10, 8), a shield at (10, 9) and a
// tag at (9, 9). A corridor leaves the room's top row eastwards to (19, 3), turns down to
// (19, 5) and runs east along row 5 into a room spanning (26..34, 4..8), where the stairs lie at
// (27, 8) and a drug at (26, 7). Another corridor leaves the first room's bottom row at (9, 10)
// down to (9, 14), east to (14, 14) and down into a room whose bottom row is row 25, with a card
// at (10, 21), a pot at (10, 25) and a slime asleep at (6, 24), which wakes once the player is in
// its room. One run swaps the floor's script for one with an awake slime in the first room
// instead (AwakeSlimeFloor.lua).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/smoke/ArchiveImage.h"
#include "tests/smoke/FloorKeyScript.h"
#include "tests/smoke/FrameImage.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using SmokeTest::Image;

using KeyScript = SmokeTest::FloorKeyScript;

using SmokeTest::cut;
using SmokeTest::Region;

// The screen above the replay clock at the bottom right, which counts the play time.
constexpr Region kAboveClock{0, 0, 800, 580};

// How far the closest of the captured frames is from the reference over the area.
double closestFrame(const fs::path& folder, const std::vector<int>& numbers, const std::string& reference,
                    const Region& area = kAboveClock) {
    const Image expected = SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / reference);
    EXPECT_EQ(expected.width, 800) << reference;
    return SmokeTest::closestFrame(folder, numbers, expected, area, reference);
}

std::vector<int> framesFrom(int first, int last, int every = 10) {
    std::vector<int> numbers;
    for (int number = first; number <= last; number += every) {
        numbers.push_back(number);
    }
    return numbers;
}

class FloorRun : public SmokeTest::RunFolderTest {
protected:
    void SetUp() override {
        SmokeTest::RunFolderTest::SetUp();
        // The seeded set-up script joins the patch archive, whose entries win.
        ASSERT_EQ(SmokeTest::addToPatchArchive(runDirectory_,
                                               {{u"Dungeon\\DEMO10\\00\\00\\Setup.lua.lcd", SEEDED_SETUP_CHUNK}}),
                  "");
    }

    // Plays the keys, captures the frames and ends the program (as closing its window does)
    // once the last frame is taken.
    SmokeTest::ProgramRun play(const KeyScript& keys, const std::vector<int>& frames) {
        std::string capture;
        for (const int frame : frames) {
            capture += (capture.empty() ? "" : ",") + std::to_string(frame);
        }
        SmokeTest::SignalLater end{SIGTERM, std::chrono::milliseconds(500),
                                   runDirectory_ / ("frame" + std::to_string(frames.back()) + ".png")};
        return SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_,
                                     {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_CAPTURE_FRAMES=" + capture,
                                      "ORVEX_CAPTURE_DIR=" + runDirectory_.string(), "ORVEX_INPUT_KEYS=" + keys.list()},
                                     std::chrono::seconds(240), end);
    }

    Image frame(int number) const {
        return SmokeTest::loadPng(runDirectory_ / ("frame" + std::to_string(number) + ".png"));
    }

    static void expectOrderlyEnd(const SmokeTest::ProgramRun& run) {
        EXPECT_TRUE(run.exited && run.exitCode == 0) << run.describe();
        for (const char* fault : {"could not be started", "Failed initialize dungeon", "Lua error",
                                  "is not in the archives", "terminate called", "runtime error:"}) {
            EXPECT_EQ(run.output.find(fault), std::string::npos) << fault << "\n" << run.describe();
        }
    }
};

}  // namespace

// The loading screen shows first, then the floor of the seed looks as its reference before any
// key; F1 then switches the screen mode (the device is reset and the floor's overlay made again)
// and the floor plays on with a game pad alone: the stick pushed up steps up, which scrolls the
// view down by one cell, and the pad's menu button opens the menu. The replay clock, drawn with
// the overlay's font, shows again after the reset.
TEST_F(FloorRun, LooksAsItsReferenceAndPlaysOnAfterF1WithAPad) {
    KeyScript keys;
    keys.press({"F1"}, 4, 96).step("Pad128").wait(100).menu("Pad0").wait(160);
    const std::vector<int> loading = framesFrom(300, 450, 5);
    const std::vector<int> frames = framesFrom(700, 2000, 20);
    std::vector<int> captured = loading;
    captured.insert(captured.end(), frames.begin(), frames.end());
    const SmokeTest::ProgramRun run = play(keys, captured);
    expectOrderlyEnd(run);
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_seeded.png"), 1.0);
    // Before it, the loading screen: the dungeon's picture with the floor's name "1F" over it
    // (above its turning ring of dots).
    EXPECT_LT(closestFrame(runDirectory_, loading, "floor_loading.png", {0, 0, 800, 340}), 1.0);
    // Beside the player and the mini-map, some later picture is the first one 80 pixels lower.
    const Image reference = SmokeTest::loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / "floor_seeded.png");
    double scrolled = 1000.0;
    for (const int number : frames) {
        const Image after = frame(number);
        if (after.width == reference.width) {
            scrolled = std::min(scrolled, SmokeTest::meanDifference(cut(reference, {0, 100, 190, 300}),
                                                                    cut(after, {0, 180, 190, 300})));
        }
    }
    EXPECT_LT(scrolled, 2.0) << run.describe();
    // The menu's window with its four entries.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_menu_pad.png", {10, 100, 220, 270}), 5.0);
    // The replay clock is drawn again with the overlay's new font: its "00:00:" (the seconds
    // after it count on) in white over the dark bottom of the floor, as before F1, in the last
    // frames, taken after the pad's menu opened. The rows above it are left out, where the
    // menu's window reaches.
    const Region clockHead{718, 590, 40, 6};
    const Image before = cut(frame(frames.front()), clockHead);
    const auto whitePixels = [](const Image& part) {
        int count = 0;
        for (std::size_t i = 0; i + 2 < part.rgb.size(); i += 3) {
            count += std::min({part.rgb[i], part.rgb[i + 1], part.rgb[i + 2]}) > 200 ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(whitePixels(before), 30) << run.describe();
    for (const int number : framesFrom(1800, 2000, 20)) {
        const Image after = cut(frame(number), clockHead);
        if (after.width != clockHead.width) {
            ADD_FAILURE() << "frame " << number << " was not taken";
            continue;
        }
        EXPECT_GT(whitePixels(after), 30) << number;
        EXPECT_LT(SmokeTest::meanDifference(before, after), 2.0) << number;
    }
}

// Walks out of the first room along the corridor into the room of the stairs and steps on
// them: the stairs ask "すすむ" or "閉じる". Closing the question, the player steps onto the drug
// beside the stairs, which the new game does not know yet, names it through the item menu's "名前"
// on the soft keyboard ("あ", "お", then "決定"), and the item menu lists it by that name.
TEST_F(FloorRun, WalksToTheStairsAndNamesADrug) {
    KeyScript keys;
    keys.walk("Up", 6).walk("Right", 9).walk("Down", 3).walk("Right", 16).walk("Down", 4).step("Left", 7).wait(300);
    keys.menu("Down").menu("Z").wait(60).press({"Up", "Left"}, 6, 60);
    keys.menu("S").menu("Z").menu("Z").menu("Down").menu("Down").menu("Down").menu("Z").wait(60);
    keys.menu("Z").menu("Right").menu("Right").menu("Right").menu("Right").menu("Z");
    keys.menu("Up").menu("Right").menu("Right").menu("Right").menu("Right").wait(60).menu("Z").wait(60);
    keys.menu("S").menu("Z").wait(200);
    const std::vector<int> frames = framesFrom(1500, 6000, 20);
    const SmokeTest::ProgramRun run = play(keys, frames);
    expectOrderlyEnd(run);
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_stairs_prompt.png", {520, 90, 270, 200}), 5.0);
    // The item menu's first entry: the drug under the name given to it.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_item_renamed.png", {30, 160, 300, 45}), 5.0);
}

// Picks up a sword, a shield and a tag, equips the sword and reads the log. Then down the
// corridor into the room below: picks up a card and a pot while the slime asleep by the wall
// wakes and comes, throws the tag at it and strikes it until it dies, pushes the card into the
// pot, takes it out again and puts it down. Last it runs and gives up through "中断", "断念する"
// and "はい". The menus show the equipped sword and, after the fight, the experience won; the
// log lists the pick-ups, and later the kill and the card's way in and out of the pot and onto
// the floor; the result scene reports the given-up dive with the sword as the weapon.
TEST_F(FloorRun, PlaysTheFloorAndGivesUp) {
    KeyScript keys;
    keys.step("Left").step("Down").step("Left");
    keys.menu("S").menu("Z").menu("Z").menu("Z").menu("A").menu("A").wait(60);
    keys.menu("S").menu("Down").menu("Down").menu("Z").menu("Z").wait(160);
    keys.menu("A").menu("A").menu("A");
    // To the card at (10, 21) and the pot at (10, 25), the room's bottom row; a pick-up takes a
    // moment before the next step is taken.
    keys.step("Down", 5).step("Right", 5).step("Down", 5);
    keys.press({"Down", "Left"}, 6, 40).press({"Down", "Left"}, 6, 40).step("Left", 2).wait(100);
    keys.walk("Down", 5).wait(60);
    // The slime, woken by the player in its room, comes: three swings at the air let it close
    // in, then the player turns to it ("X" turns to a neighbour) and strikes.
    keys.menu("Z").wait(30).menu("Z").wait(30).menu("Z").wait(30).menu("X");
    // The tag, third of the items, thrown at it first ("投げる", the tag's second entry).
    keys.menu("S").wait(100).menu("Z").menu("Down").menu("Down").menu("Z").wait(60);
    keys.menu("Down").menu("Z").menu("A").menu("A").wait(60);
    // Awake, it dodges some blows; the blows left after it dies fall on the empty cell.
    for (int blow = 0; blow < 14; ++blow) {
        keys.menu("Z").wait(30);
    }
    // Items: sword, shield, card, pot. The pot's "入れる", then the card.
    keys.menu("S").menu("Z").menu("Down").menu("Down").menu("Down").menu("Z").menu("Down").menu("Z");
    keys.menu("Down").menu("Down").menu("Z").menu("Z").wait(60);
    // The pot's "のぞく", the card in it, "取り出す".
    keys.menu("S").menu("Z").menu("Down").menu("Down").menu("Z").menu("Z").menu("Z").menu("Z").wait(60);
    // The card, now last, "置く".
    keys.menu("S").menu("Z").menu("Down").menu("Down").menu("Down").menu("Z").menu("Down").menu("Down").menu("Z").wait(
        60);
    keys.menu("S").wait(60).menu("A");
    keys.menu("S").menu("Down").menu("Down").menu("Z").menu("Z").wait(160);
    keys.menu("A").menu("A").menu("A");
    keys.press({"A", "Right"}, 80, 40).wait(60);
    keys.menu("S").menu("Down").menu("Down").menu("Down").menu("Z").menu("Z").wait(100).menu("Z").wait(400);
    const std::vector<int> frames = framesFrom(1400, 7800, 20);
    const SmokeTest::ProgramRun run = play(keys, frames);
    expectOrderlyEnd(run);
    // The menu after the equip: the status panel's weapon strength is the sword's.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_menu_equipped.png", {90, 435, 240, 35}), 5.0);
    // The log lists the three pick-ups.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_log.png", {40, 170, 400, 125}), 5.0);
    // The tag thrown at the slime hits it: the throw's line in the log.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_tag_thrown.png", {60, 480, 720, 40}), 5.0);
    // After the fight the status panel counts the slime's experience.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_menu_after_kill.png", {530, 495, 40, 35}), 5.0);
    // The log's last lines: the kill, its experience, the push, the pop and the put. The floor
    // shows through the log's window, and where the slime steps before it dies may move the
    // view by a cell: a line missing or out of place differs by more than 10.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_log_pot.png", {40, 370, 580, 200}), 8.0);
    // The give-up's question.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_give_up.png", {260, 225, 420, 185}), 5.0);
    // The result: its heading, and the weapon's line (the time and the score depend on the clock).
    EXPECT_LT(closestFrame(runDirectory_, frames, "result_gave_up.png", {0, 0, 800, 180}), 5.0);
    EXPECT_LT(closestFrame(runDirectory_, frames, "result_gave_up.png", {0, 362, 400, 32}), 5.0);
}

// On the floor of the awake slime (see AwakeSlimeFloor.lua), the player runs up out of the
// start while the slime comes: its blow is a new log line, which ends the run after its first
// steps, well short of the room's top wall where the run would have gone on to.
TEST_F(FloorRun, RunStopsAtTheLogLineOfAnEnemysBlow) {
    ASSERT_EQ(SmokeTest::addToPatchArchive(runDirectory_,
                                           {{u"Dungeon\\DEMO10\\00\\00\\001.lua.lcd", AWAKE_SLIME_FLOOR_CHUNK}}),
              "");
    KeyScript keys;
    keys.wait(100).press({"A", "Up"}, 80, 100);
    const std::vector<int> frames = framesFrom(1200, keys.read(), 5);
    const SmokeTest::ProgramRun run = play(keys, frames);
    expectOrderlyEnd(run);
    // The blow's line over the player two cells up, the slime beside: a run that went on would
    // show the player a cell higher or more, with the slime behind.
    EXPECT_LT(closestFrame(runDirectory_, frames, "floor_run_stopped.png"), 5.0);
}

// Steps on the snare right of the start three times: five points each, less the life recovered
// between them, leave the player a fraction of a point, which is dead: the player falls and the
// result scene follows.
TEST_F(FloorRun, FallsToTheSnareAndTheResultFollows) {
    KeyScript keys;
    keys.step("Right", 2);
    for (int i = 0; i < 3; ++i) keys.step("Left").step("Right");
    keys.wait(600);
    const std::vector<int> frames = framesFrom(1400, keys.read(), 20);
    const SmokeTest::ProgramRun run = play(keys, frames);
    expectOrderlyEnd(run);
    // The result's heading: the dive ended in a defeat (the clock's time varies).
    EXPECT_LT(closestFrame(runDirectory_, frames, "result_fallen.png", {0, 0, 800, 60}), 5.0);
}
