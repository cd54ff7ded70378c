// The real program, headless, on the built sample data: it runs the start-up scene, plays the
// logo movie to its end, shows the title and, driven by recorded keys, quits from the title's
// menu or starts a new game; it shuts down in order with exit status 0, and a failed start ends
// with status 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/smoke/FloorKeyScript.h"
#include "tests/smoke/FrameImage.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

using SmokeTest::Image;
using SmokeTest::loadPng;
using SmokeTest::meanDifference;

// The logo's ring is drawn in a light cream colour; the gradient behind it never is.
size_t countRingPixels(const Image& image) {
    size_t count = 0;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
        if (image.rgb[i] > 200 && image.rgb[i + 1] > 200 && image.rgb[i + 2] > 180) {
            ++count;
        }
    }
    return count;
}

class StartupSmokeTest : public SmokeTest::RunFolderTest {
protected:
    // Runs the program in the run directory with the recorded keys and returns its exit status
    // (-1 after a signal or the time limit); what it wrote goes to `log_`.
    int runGame(const std::string& captureFrames, bool debugOutput = true,
                const std::string& keys = SmokeTest::quitFromTitle(300)) {
        std::vector<std::string> environment = {"ORVEX_CAPTURE_FRAMES=" + captureFrames,
                                                "ORVEX_CAPTURE_DIR=" + runDirectory_.string(),
                                                "ORVEX_INPUT_KEYS=" + keys};
        environment.push_back(debugOutput ? "ORVEX_DEBUG_OUTPUT=1" : "ORVEX_DEBUG_OUTPUT=0");
        const SmokeTest::ProgramRun run =
            SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_, environment, std::chrono::seconds(120));
        log_ = run.output;
        return run.exited ? run.exitCode : -1;
    }

    std::string log_;
};

// The run itself, which the ThreadSanitizer build repeats: too slow there to present frame 60.
// "Quit" on the title closes the window, which ends the program in order.
TEST_F(StartupSmokeTest, PlaysTheLogoThenQuitsFromTheTitle) {
    ASSERT_EQ(runGame("0"), 0) << log_;
    EXPECT_NE(log_.find("GameThread h="), std::string::npos) << log_;
    EXPECT_NE(log_.find("CMainApp closeMessage.\n"), std::string::npos) << log_;
    EXPECT_EQ(log_.find("The scene controller refused its step"), std::string::npos) << log_;
    EXPECT_NE(log_.find("ms_pInstance.release().\nOK.\n"), std::string::npos) << log_;
}

// The title once faded in, before any key: the land, the gate and the menu are the same in
// every run. The sky above shows the looping movie and the logo's glint runs on the clock, so
// only the picture's lower part is compared.
TEST_F(StartupSmokeTest, PresentsTheTitle) {
    ASSERT_EQ(runGame("400", true, SmokeTest::quitFromTitle(500)), 0) << log_;
    const Image frame = loadPng(runDirectory_ / "frame400.png");
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);
    const Image reference = loadPng(ORVEX_FIXTURE_DIR "/smoke/title_faded_in.png");
    ASSERT_EQ(reference.rgb.size(), frame.rgb.size());
    SmokeTest::offerForRenewal("title_faded_in.png", frame);
    const auto lowerPart = [](const Image& image) {
        Image part = image;
        part.rgb.erase(part.rgb.begin(), part.rgb.begin() + 240 * 800 * 3);
        return part;
    };
    EXPECT_LT(meanDifference(lowerPart(frame), lowerPart(reference)), 2.0);
}

// "New game" on the title leads into the first floor of the first dungeon, where the game runs
// until its window is closed (here by SIGTERM, which ends it as closing the window does).
TEST_F(StartupSmokeTest, ANewGameFromTheTitleEntersTheFirstDungeon) {
    const SmokeTest::ProgramRun run = SmokeTest::runProgram(
        FENWARROW_PROGRAM, runDirectory_,
        {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_CAPTURE_FRAMES=600,700,800", "ORVEX_CAPTURE_DIR=" + runDirectory_.string(),
         "ORVEX_INPUT_KEYS=" + SmokeTest::pressKey(300, "Z") + SmokeTest::pressKey(900, "Z")},
        std::chrono::seconds(90), {SIGTERM, std::chrono::milliseconds(20000)});
    ASSERT_TRUE(run.exited && run.exitCode == 0) << run.describe();
    EXPECT_EQ(run.output.find("could not be started"), std::string::npos) << run.describe();
    EXPECT_EQ(run.output.find("Failed initialize dungeon"), std::string::npos) << run.describe();
    // The latest frame taken shows the floor, not the title: the floor's HUD with its green
    // life gauge is up.
    Image frame;
    for (const char* name : {"frame800.png", "frame700.png", "frame600.png"}) {
        if (fs::exists(runDirectory_ / name)) {
            frame = loadPng(runDirectory_ / name);
            break;
        }
    }
    ASSERT_EQ(frame.width, 800) << run.describe();
    const Image title = loadPng(ORVEX_FIXTURE_DIR "/smoke/title_faded_in.png");
    EXPECT_GT(meanDifference(frame, title), 10.0);
    size_t gauge = 0;
    for (size_t i = 0; i + 2 < frame.rgb.size(); i += 3) {
        if (frame.rgb[i + 1] > 150 && frame.rgb[i] < 120 && frame.rgb[i + 2] < 120) {
            ++gauge;
        }
    }
    EXPECT_GT(gauge, 1000u);
}

// A whole round from the title and back: "new game" enters the first floor, the run is given
// up through "中断", "断念する" and "はい", the result (and its replay prompt) leads back to the
// title, and "quit" there ends the program by itself with status 0.
TEST_F(StartupSmokeTest, ANewGameGivenUpReturnsToTheTitleWhereQuitEndsTheProgram) {
    SmokeTest::FloorKeyScript keys;
    keys.menu("S").menu("Down").menu("Down").menu("Down").menu("Z").menu("Z").wait(100).menu("Z").wait(400);
    const int resultAt = keys.read();
    keys.menu("Z").wait(60).menu("Z").wait(60).menu("Z").wait(400);
    const int titleAt = keys.read();
    std::string capture;
    for (int frame = resultAt - 200; frame <= titleAt + 200; frame += 20) {
        capture += (capture.empty() ? "" : ",") + std::to_string(frame);
    }
    const SmokeTest::ProgramRun run = SmokeTest::runProgram(
        FENWARROW_PROGRAM, runDirectory_,
        {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_CAPTURE_FRAMES=" + capture, "ORVEX_CAPTURE_DIR=" + runDirectory_.string(),
         "ORVEX_INPUT_KEYS=" + keys.list() + SmokeTest::pressKey(titleAt, "Up") +
             SmokeTest::pressKey(titleAt + 20, "Up") + SmokeTest::pressKey(titleAt + 40, "Z")},
        std::chrono::seconds(120));
    ASSERT_TRUE(run.exited && run.exitCode == 0) << run.describe();
    EXPECT_EQ(run.output.find("Failed initialize dungeon"), std::string::npos) << run.describe();
    // Some frame shows the result's heading of the given-up dive, and a later one the title's
    // name card again; the quit needs no signal.
    const auto shown = [&](const char* reference, const SmokeTest::Region& region, int from, int to) {
        std::vector<int> frames;
        for (int frame = from; frame <= to; frame += 20) {
            frames.push_back(frame);
        }
        return SmokeTest::closestFrame(runDirectory_, frames,
                                       loadPng(fs::path(ORVEX_FIXTURE_DIR) / "smoke" / reference), region, reference);
    };
    EXPECT_LT(shown("result_gave_up.png", {0, 0, 800, 180}, resultAt - 200, titleAt), 3.0) << run.describe();
    EXPECT_LT(shown("title_faded_in.png", {140, 50, 520, 110}, resultAt, titleAt + 200), 3.0) << run.describe();
    EXPECT_NE(run.output.find("Title faded in."), run.output.rfind("Title faded in."))
        << "the title fades in again after the result\n"
        << run.describe();
}

TEST_F(StartupSmokeTest, PresentsTheLogoMovie) {
    ASSERT_EQ(runGame("60"), 0) << log_;
    const Image frame = loadPng(runDirectory_ / "frame60.png");
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);
    // The frame shows the logo movie: the ring is there.
    EXPECT_GT(countRingPixels(frame), 5000u);
    // The logo is a still card, so whenever frame 60 is presented it shows the same picture.
    const Image reference = loadPng(ORVEX_FIXTURE_DIR "/smoke/logo_frame60.png");
    ASSERT_EQ(reference.rgb.size(), frame.rgb.size());
    SmokeTest::offerForRenewal("logo_frame60.png", frame);
    EXPECT_LT(meanDifference(frame, reference), 1.0);
}

// SIGTERM and SIGINT end a running program the way closing its window does: in order, status 0.
TEST_F(StartupSmokeTest, TerminationSignalsEndTheRunInOrder) {
    for (const int signal : {SIGTERM, SIGINT}) {
        const SmokeTest::ProgramRun run =
            SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_, {"ORVEX_DEBUG_OUTPUT=1"}, std::chrono::seconds(60),
                                  {signal, std::chrono::milliseconds(1500)});
        EXPECT_TRUE(run.exited && run.exitCode == 0) << run.describe();
        EXPECT_NE(run.output.find("Signal " + std::to_string(signal) + " ("), std::string::npos) << run.describe();
        EXPECT_NE(run.output.find("ms_pInstance.release().\nOK.\n"), std::string::npos) << run.describe();
    }
}

// A failed start ends with status 1 and one line naming the file and the fault, whether the
// debug output is on or not.
TEST_F(StartupSmokeTest, AMissingArchiveEndsTheStartWithStatusOneAndALineNamingIt) {
    fs::remove(runDirectory_ / "d300.bin");
    for (const bool debugOutput : {true, false}) {
        EXPECT_EQ(runGame("0", debugOutput), 1) << log_;
        const std::string line = "d300.bin: the archive cannot be opened\n";
        const size_t first = log_.find(line);
        EXPECT_NE(first, std::string::npos) << log_;
        EXPECT_EQ(log_.find(line, first + 1), std::string::npos) << "reported once:\n" << log_;
        EXPECT_EQ(log_.find("GameThread h="), std::string::npos) << log_;
        if (debugOutput) {
            EXPECT_NE(log_.find("データファイルを読み込めませんでした。"), std::string::npos) << log_;
        }
    }
}

}  // namespace
