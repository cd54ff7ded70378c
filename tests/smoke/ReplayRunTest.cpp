// Replays of the real program, headless on the built sample data: a dive recorded from recorded
// keys and played back at the highest speed ends in the same state; a run killed while it records
// is merged into a replay at the next start and plays back to its last chunk; a replay of random
// keys plays through the program without a crash or a hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "platform/kernel/ChildProcess.h"
#include "tests/game/replay/ReplayTestSupport.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using Fenwarrow::Replay::CReplayFrame;
using Fenwarrow::Replay::CReplayInfo;
using SmokeTest::pressKey;

constexpr char kFirstDungeon[] = "Dungeon/DEMO10/00/00/001.lua";

struct WatchedRun {
    Platform::Kernel::ChildEnd end;
    bool timedOut = false;
    bool sawCondition = false;
    std::string output;
    std::string describe() const {
        return (timedOut ? std::string("timed out") : "status " + std::to_string(end.exitCode)) +
               (sawCondition ? "" : ", never reached what the test waited for") + "; output:\n" + output;
    }
};

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs the program in `folder` with the recorded keys; once `reached(output)` holds it sends
// `signal`, and it kills the program when it runs past `limit`.
WatchedRun runUntil(const fs::path& folder, const std::string& keys,
                    const std::function<bool(const std::string&)>& reached, int signal, std::chrono::seconds limit) {
    using namespace Platform::Kernel;
    WatchedRun run;
    ChildOptions options;
    options.workingDirectory = folder;
    options.environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "ORVEX_DEBUG_OUTPUT=1",
                           "ORVEX_REPLAY_TRACE=1", "ORVEX_INPUT_KEYS=" + keys};
    options.output = options.errors = ChildOutput::kFile;
    options.outputFile = folder / "program-output.log";
    ChildProcess child;
    if (!child.start(FENWARROW_PROGRAM, options)) {
        run.output = child.error();
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::optional<ChildEnd> end;
    while (!(end = child.waitUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(200)))) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            end = child.kill();
            break;
        }
        if (!run.sawCondition && reached(readFile(options.outputFile))) {
            run.sawCondition = true;
            child.signal(signal);
        }
    }
    run.end = *end;
    run.output = readFile(options.outputFile);
    return run;
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    }
    return files;
}

std::u16string wide(const fs::path& path) { return Orvex::System::widen(path.string()); }

std::string holdKey(int read, const std::string& key, int reads) {
    return std::to_string(read) + ":" + key + "+," + std::to_string(read + reads) + ":" + key + "-,";
}

// The line the result scene writes with the state a dive ended in.
std::string endState(const std::string& output) {
    const size_t at = output.rfind("Dive ended:");
    return at == std::string::npos ? std::string() : output.substr(at, output.find('\n', at) - at);
}

bool hasEndState(const std::string& output) { return !endState(output).empty(); }

// From the title: "replay", then the newest file of the list; then the highest speed, pressed
// again and again while the floor loads (presses before the floor is up change nothing).
std::string playNewestReplayAtTopSpeed() {
    std::string keys =
        pressKey(300, "Down") + pressKey(308, "Down") + pressKey(316, "Down") + pressKey(330, "Z") + pressKey(350, "Z");
    for (int read = 600; read < 3000; read += 40) keys += pressKey(read, "Right");
    return keys;
}

class ReplayRunTest : public SmokeTest::RunFolderTest {};

// A dive recorded from keys: new game, a few steps, the menu's give-up, the result keeping the
// replay. Played back at sixteen steps a frame it ends in the state the recorded dive ended in.
TEST_F(ReplayRunTest, ARecordedDivePlaysBackToTheSameEnd) {
    // "New game" on the title; the floor is up some 400 reads later.
    std::string keys = pressKey(300, "Z");
    // Steps held for twelve reads each, a blow, and more steps.
    const char* steps[] = {"Right", "Down", "Left", "Down", "Right", "Right",
                           "Up",    "Z",    "Left", "Down", "Down",  "Right"};
    int read = 900;
    for (const char* step : steps) {
        keys += holdKey(read, step, 12);
        read += 40;
    }
    // The menu, its last entry (the reserve menu), give up, yes; then through the result, which
    // asks whether to keep the replay (yes).
    keys += pressKey(read + 60, "S") + pressKey(read + 90, "Up") + pressKey(read + 120, "Z") +
            pressKey(read + 150, "Z") + pressKey(read + 180, "Z");
    for (int push = 0; push < 6; ++push) keys += pressKey(read + 600 + 60 * push, "Z");
    const fs::path replays = runDirectory_ / "Replay";
    const WatchedRun recorded = runUntil(
        runDirectory_, keys, [&](const std::string&) { return !filesIn(replays).empty(); }, SIGTERM,
        std::chrono::seconds(55));
    ASSERT_TRUE(recorded.sawCondition && recorded.end.exited && recorded.end.exitCode == 0) << recorded.describe();
    ASSERT_TRUE(hasEndState(recorded.output)) << recorded.describe();
    ASSERT_EQ(filesIn(replays).size(), 1u);
    CReplayInfo replay;
    ASSERT_TRUE(Fenwarrow::Replay::loadReplayFile(replay, wide(filesIn(replays)[0])));
    EXPECT_EQ(replay.getDungeonScript(), Orvex::System::widen(kFirstDungeon));
    EXPECT_FALSE(replay.getFrames().empty());
    EXPECT_TRUE(filesIn(runDirectory_ / "Temp").empty());

    // Without a common save the title's menu starts on its first entry, as it did for the run.
    fs::remove(runDirectory_ / "c000.bin");
    const WatchedRun played =
        runUntil(runDirectory_, playNewestReplayAtTopSpeed(), hasEndState, SIGTERM, std::chrono::seconds(55));
    ASSERT_TRUE(played.sawCondition) << played.describe();
    EXPECT_TRUE(played.end.exited && played.end.exitCode == 0) << played.describe();
    EXPECT_EQ(endState(played.output), endState(recorded.output)) << "the playback ended elsewhere than its run";
    std::printf("%zu frames recorded; %s\n", replay.getFrames().size(), endState(recorded.output).c_str());
}

// A run killed while it records leaves its chunks; the next start merges them into a replay
// before anything else, and that replay plays back to its last frame.
TEST_F(ReplayRunTest, ARunKilledWhileRecordingIsMergedAtTheNextStartAndPlaysBack) {
    const fs::path chunk = runDirectory_ / "Temp" / "replay000000.tmp";
    std::string keys = pressKey(300, "Z") + pressKey(900, "Z");
    for (int read = 1500; read < 6000; read += 120) keys += pressKey(read, read % 240 == 0 ? "Right" : "Left");
    CReplayInfo written;
    const WatchedRun killed = runUntil(
        runDirectory_, keys,
        [&](const std::string&) { return Fenwarrow::Replay::loadReplayFile(written, wide(chunk)); }, SIGKILL,
        std::chrono::seconds(55));
    ASSERT_TRUE(killed.sawCondition) << killed.describe();
    ASSERT_FALSE(killed.end.exited);
    ASSERT_EQ(written.getFrames().size(), Fenwarrow::Replay::CReplayController::kFramesPerChunk);

    const WatchedRun next =
        runUntil(runDirectory_, playNewestReplayAtTopSpeed(), hasEndState, SIGTERM, std::chrono::seconds(55));
    EXPECT_FALSE(fs::exists(chunk)) << next.describe();
    const auto replays = filesIn(runDirectory_ / "Replay");
    ASSERT_EQ(replays.size(), 1u) << next.describe();
    CReplayInfo merged;
    ASSERT_TRUE(Fenwarrow::Replay::loadReplayFile(merged, wide(replays[0])));
    EXPECT_EQ(merged.getSeed(), written.getSeed());
    EXPECT_EQ(merged.getDungeonScript(), Orvex::System::widen(kFirstDungeon));
    ASSERT_GE(merged.getFrames().size(), written.getFrames().size());
    EXPECT_TRUE(std::equal(written.getFrames().begin(), written.getFrames().end(), merged.getFrames().begin()));
    EXPECT_EQ(merged.getFrames().size() % Fenwarrow::Replay::CReplayController::kFramesPerChunk, 0u);
    // The playback ran out of frames, and the dungeon scene handed the dive to the result.
    ASSERT_TRUE(next.sawCondition) << next.describe();
    EXPECT_TRUE(next.end.exited && next.end.exitCode == 0) << next.describe();
}

// Random keys, drawn from a seeded generator and stored as a replay of the first dungeon, played
// through the program at the highest speed: the input of a player who presses anything at any
// time. The dive ends (by a give-up the keys happened on, a defeat, or the end of the frames)
// without a crash or a hang. ORVEX_SOAK_FRAMES sets the length (CI runs a short one).
TEST_F(ReplayRunTest, RandomKeysPlayThroughWithoutACrashOrAHang) {
    const char* length = std::getenv("ORVEX_SOAK_FRAMES");
    const uint32_t frames = length != nullptr ? static_cast<uint32_t>(std::strtoul(length, nullptr, 10)) : 4000;
    const uint32_t seed = 20261210;
    ReplayTestGame keys;
    std::mt19937 random(seed);
    // Keys go down and up in runs of a few frames, as fingers do; the menu, cancel and map keys
    // less often than the rest.
    std::array<uint32_t, Fenwarrow::Replay::kReplayKeyCount> heldFor{};
    CReplayInfo replay(keys.random, u"soak");
    replay.setDungeonScript(Orvex::System::widen(kFirstDungeon));
    for (uint32_t frame = 0; frame < frames; ++frame) {
        keys.advance([&](uint32_t, uint32_t key) {
            if (heldFor[key] > 0) {
                --heldFor[key];
                return true;
            }
            const uint32_t chance = key == 4 || key == 6 || key == 10 || key == 11 ? 400 : 40;
            if (random() % chance == 0) {
                heldFor[key] = random() % 12;
                return true;
            }
            return false;
        });
        replay.appendFrame(keys.live, keys.playTime);
    }
    fs::create_directories(runDirectory_ / "Replay");
    ASSERT_TRUE(Fenwarrow::Replay::saveReplayFile(replay, wide(runDirectory_ / "Replay" / "replay20260101000000.lrd")));

    const WatchedRun played = runUntil(runDirectory_, playNewestReplayAtTopSpeed(), hasEndState, SIGTERM,
                                       std::chrono::seconds(60 + frames / 200));
    ASSERT_TRUE(played.sawCondition) << "seed " << seed << ", " << frames << " frames: " << played.describe();
    EXPECT_TRUE(played.end.exited && played.end.exitCode == 0) << played.describe();
    EXPECT_EQ(played.output.find("could not be started"), std::string::npos) << played.describe();
    // The keys reached the game through the replay: the playback took steps.
    EXPECT_NE(played.output.find("Replay step "), std::string::npos) << played.describe();
}

}  // namespace
