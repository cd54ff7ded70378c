// Whole runs of the real program kept as replays (tests/fixtures/replays): each was recorded from
// keys, and is kept with the trace of state digests its run wrote, the state the dive ended in
// and a picture of the end. Played back headless it must take the same steps to the same end.
//
// A replay reproduces its run only on the build that recorded it. After a change of game logic
// or content the fixtures are recorded again with
//     ninja -C build rerecord_replays
// which runs this test with ORVEX_REPLAY_RERECORD=1: each run is recorded from its keys, played
// back and checked, and its files are written into the source tree. Adding a run is one entry in
// kRecordedRuns (its keys end by keeping the replay at the result).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/replay/CReplayInfo.h"
#include "tests/smoke/ArchiveImage.h"
#include "tests/smoke/DemoDiveKeys.h"
#include "tests/smoke/FloorKeyScript.h"
#include "tests/smoke/FlowKeyScript.h"
#include "tests/smoke/FrameImage.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using SmokeTest::pressKey;
using SmokeTest::ProgramRun;

constexpr char kRerecordAdvice[] =
    "A replay reproduces its run only on the build that recorded it: after a change of game logic or "
    "content, record the fixtures again (ninja -C build rerecord_replays) and look at the new end states "
    "and pictures before checking them in.";

// The seeded set-up script of the first floor joins the patch archive, whose entries win, so
// that every run builds the same floor (as the floor smoke test does).
void seedFirstFloor(const fs::path& runFolder) {
    ASSERT_EQ(
        SmokeTest::addToPatchArchive(runFolder, {{u"Dungeon\\DEMO10\\00\\00\\Setup.lua.lcd", SEEDED_SETUP_CHUNK}}), "");
}

// The demo dungeon's seeded floors: the first floor's set-up and the second and third floors'
// scripts join the patch archive (as the dive's smoke test does).
void seedDemoFloors(const fs::path& runFolder) {
    ASSERT_EQ(
        SmokeTest::addToPatchArchive(runFolder, SmokeTest::demoFloorChunks(SEEDED_CHUNK_DIR, {"Setup", "002", "003"})),
        "");
}

// The dive from the title's new game on the seeded first floor, the menus, and the give-up.
std::string giveUpKeys() {
    SmokeTest::FloorKeyScript keys = SmokeTest::playFloorAndGiveUp();
    // Through the result, keeping the replay.
    for (int push = 0; push < 4; ++push) keys.press({"Z"}, 4, 56);
    return keys.list();
}

// The dive from the title's new game on the seeded first floor, where the player steps on the
// snare right of the start until it falls; the result keeps the replay.
std::string defeatKeys() {
    SmokeTest::FloorKeyScript keys;
    keys.step("Right", 2);
    for (int hit = 0; hit < 3; ++hit) keys.step("Left").step("Right");
    keys.wait(600);
    for (int push = 0; push < 4; ++push) keys.press({"Z"}, 4, 56);
    return keys.list();
}

// The trial entered from the developer's scene list and cleared, its result, the world map, and
// the trial again (recorded from there), where the player rests until the meltdown; its result
// keeps the replay.
std::string meltdownKeys() {
    SmokeTest::FlowKeyScript keys(300);
    SmokeTest::intoTheTrialBySceneList(keys).wait(300);
    keys.hold({"Right"}, 200).wait(30).press("Z").wait(300);
    keys.hold({"Right"}, 200).wait(30).press("Z").wait(420);
    keys.press("Z").wait(20).press("Z").wait(240);
    keys.press("Down").press("Z").wait(300);
    keys.hold({"A", "Z"}, 300).wait(700);
    keys.press("Z").wait(20).press("Z").wait(20).press("Z").wait(20).press("Z");
    return keys.text();
}

struct RecordedRun {
    const char* name;       // the test's name
    const char* file;       // the fixture files' name, without extension
    std::string (*keys)();  // from the title to the result's "keep the replay"
    // Readies the copy of the run folder, for the recording and each playback alike (null: nothing).
    void (*prepare)(const fs::path& runFolder);
    int recordingSeconds;  // the limit of the recording run
};

// Failures name the run, not its bytes.
std::ostream& operator<<(std::ostream& out, const RecordedRun& run) { return out << run.name; }

const RecordedRun kRecordedRuns[] = {
    {"GiveUp", "give_up", giveUpKeys, seedFirstFloor, 120},
    {"Defeat", "defeat", defeatKeys, seedFirstFloor, 120},
    {"Meltdown", "meltdown", meltdownKeys, nullptr, 240},
    {"DemoDive", "demo_dive", SmokeTest::demoDiveKeys, seedDemoFloors, 420},
};

fs::path fixturePath(const RecordedRun& run, const char* extension) {
    return fs::path(ORVEX_FIXTURE_DIR) / "replays" / (std::string(run.file) + extension);
}

std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool rerecording() {
    const char* value = std::getenv("ORVEX_REPLAY_RERECORD");
    return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// What a run or a playback wrote of its replay: the state digests by step, and the state the
// dive ended in.
struct Trace {
    std::vector<std::pair<uint64_t, std::string>> steps;
    std::vector<uint32_t> speeds;
    std::string end;

    static Trace parse(const std::string& text) {
        Trace trace;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.rfind("Replay step ", 0) == 0) {
                const size_t colon = line.find(':');
                if (colon != std::string::npos) {
                    trace.steps.emplace_back(std::stoull(line.substr(12, colon - 12)), line.substr(colon + 2));
                }
            } else if (line.rfind("Replay speed: ", 0) == 0) {
                trace.speeds.push_back(static_cast<uint32_t>(std::stoul(line.substr(14))));
            } else if (line.rfind("Dive ended:", 0) == 0) {
                trace.end = line;
            }
        }
        return trace;
    }

    std::string text() const {
        std::string out;
        for (const auto& [step, digest] : steps) out += "Replay step " + std::to_string(step) + ": " + digest + "\n";
        return out + end + "\n";
    }

    uint64_t lastStep() const { return steps.empty() ? 0 : steps.back().first; }

    // The steps up to `step`.
    Trace upTo(uint64_t step) const {
        Trace part;
        for (const auto& entry : steps) {
            if (entry.first <= step) part.steps.push_back(entry);
        }
        return part;
    }
};

// Where the playback first left the recorded run: the earliest step at which the two traces
// disagree (a digest differs, or one of them has no line where the other has one); none when
// they agree.
std::optional<uint64_t> firstDivergence(const Trace& recorded, const Trace& played) {
    const size_t common = std::min(recorded.steps.size(), played.steps.size());
    for (size_t i = 0; i < common; ++i) {
        if (recorded.steps[i] != played.steps[i]) return std::min(recorded.steps[i].first, played.steps[i].first);
    }
    if (recorded.steps.size() != played.steps.size()) {
        return recorded.steps.size() > common ? recorded.steps[common].first : played.steps[common].first;
    }
    return std::nullopt;
}

std::string describeDivergence(const Trace& recorded, const Trace& played, uint64_t step) {
    const auto digestAt = [step](const Trace& trace) {
        for (const auto& [at, digest] : trace.steps) {
            if (at == step) return digest;
        }
        return std::string("no change of state");
    };
    return "the playback left its recorded run at step " + std::to_string(step) + " (recorded: " + digestAt(recorded) +
           ", played: " + digestAt(played) + "). ";
}

// From the title (without a common save its menu starts on "new game"): "replay", the newest
// file of the list. Then, again and again once the floor may be up (presses before it is up
// change nothing): the lowest speed, and `faster` steps up from there.
std::string playbackKeys(int faster) {
    std::string keys =
        pressKey(300, "Down") + pressKey(308, "Down") + pressKey(316, "Down") + pressKey(330, "Z") + pressKey(350, "Z");
    for (int read = 600; read < 12000; read += 200) {
        if (faster == 0) continue;
        for (int i = 0; i < 5; ++i) keys += pressKey(read + 6 * i, "Down");
        for (int i = 0; i < faster; ++i) keys += pressKey(read + 30 + 6 * i, "Up");
    }
    return keys;
}

constexpr int kTopSpeed = 4;

class RecordedRunFixture : public SmokeTest::RunFolderTest {
protected:
    // The replay as the only file of "Replay/", and no common save.
    void installReplay(const fs::path& replay) {
        fs::remove_all(runDirectory_ / "Replay");
        fs::remove(runDirectory_ / "c000.bin");
        fs::create_directories(runDirectory_ / "Replay");
        fs::copy_file(replay, runDirectory_ / "Replay" / "replay20260101000000.lrd");
    }

    // Plays the installed replay; the program is ended `settle` after the dive ended, and its last
    // frame is "last.png" in the run folder.
    ProgramRun playBack(int faster, const std::string& extraKeys = {},
                        std::chrono::milliseconds settle = std::chrono::milliseconds(500)) {
        fs::remove(runDirectory_ / "last.png");
        return SmokeTest::runProgramUntil(
            FENWARROW_PROGRAM, runDirectory_,
            {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_REPLAY_TRACE=1", "ORVEX_INPUT_KEYS=" + playbackKeys(faster) + extraKeys,
             "ORVEX_CAPTURE_FRAMES=last", "ORVEX_CAPTURE_DIR=" + runDirectory_.string()},
            std::chrono::seconds(150), [](const std::string& output) { return !Trace::parse(output).end.empty(); },
            SIGTERM, settle);
    }

    // Records the run from its keys into the fixture's replay and trace.
    void record(const RecordedRun& run) {
        const fs::path replays = runDirectory_ / "Replay";
        const ProgramRun recorded = SmokeTest::runProgramUntil(
            FENWARROW_PROGRAM, runDirectory_,
            {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_REPLAY_TRACE=1", "ORVEX_INPUT_KEYS=" + run.keys()},
            std::chrono::seconds(run.recordingSeconds),
            [&](const std::string&) { return fs::is_directory(replays) && !fs::is_empty(replays); }, SIGTERM);
        ASSERT_TRUE(recorded.reached && recorded.exited && recorded.exitCode == 0)
            << run.name << ": the recording never kept its replay; " << recorded.describe();
        const Trace trace = Trace::parse(recorded.output);
        ASSERT_FALSE(trace.end.empty() || trace.steps.empty()) << recorded.describe();
        fs::create_directories(fixturePath(run, ".lrd").parent_path());
        fs::copy_file(fs::directory_iterator(replays)->path(), fixturePath(run, ".lrd"),
                      fs::copy_options::overwrite_existing);
        std::ofstream(fixturePath(run, ".trace"), std::ios::binary) << trace.text();
        std::printf("%s: recorded %zu state changes up to step %llu; %s\n", run.name, trace.steps.size(),
                    static_cast<unsigned long long>(trace.lastStep()), trace.end.c_str());
    }
};

class RecordedRunTest : public RecordedRunFixture, public ::testing::WithParamInterface<RecordedRun> {};

// Played back at the highest speed, the replay takes the recorded steps to the recorded end, and
// the result shows what it showed when the fixture was recorded.
TEST_P(RecordedRunTest, PlaysBackToItsRecordedEnd) {
    const RecordedRun& run = GetParam();
    if (run.prepare != nullptr) {
        ASSERT_NO_FATAL_FAILURE(run.prepare(runDirectory_));
    }
    if (rerecording()) {
        record(run);
    }
    ASSERT_TRUE(fs::exists(fixturePath(run, ".lrd"))) << fixturePath(run, ".lrd") << " is missing. " << kRerecordAdvice;
    const Trace recorded = Trace::parse(readText(fixturePath(run, ".trace")));
    ASSERT_FALSE(recorded.end.empty()) << fixturePath(run, ".trace") << " holds no end state. " << kRerecordAdvice;

    installReplay(fixturePath(run, ".lrd"));
    // Some seconds for the result to slide in and be still.
    const ProgramRun played = playBack(kTopSpeed, {}, std::chrono::seconds(4));
    ASSERT_TRUE(played.reached) << run.name << ": the playback never reached the result. " << played.describe();
    EXPECT_TRUE(played.exited && played.exitCode == 0) << played.describe();
    const Trace trace = Trace::parse(played.output);
    if (const auto step = firstDivergence(recorded, trace)) {
        ADD_FAILURE() << run.name << ": " << describeDivergence(recorded, trace, *step) << kRerecordAdvice;
    }
    EXPECT_EQ(trace.end, recorded.end) << run.name << ": the playback ended elsewhere. " << kRerecordAdvice;
    uint32_t fastest = 1;
    for (const uint32_t shown : trace.speeds) fastest = std::max(fastest, shown);
    EXPECT_EQ(fastest, 16u) << "not played at the highest speed";

    const SmokeTest::Image last = SmokeTest::loadPng(runDirectory_ / "last.png");
    ASSERT_EQ(last.width, 800) << "no last frame was captured. " << played.describe();
    if (rerecording()) {
        fs::copy_file(runDirectory_ / "last.png", fixturePath(run, ".png"), fs::copy_options::overwrite_existing);
    }
    const SmokeTest::Image expected = SmokeTest::loadPng(fixturePath(run, ".png"));
    ASSERT_EQ(expected.rgb.size(), last.rgb.size()) << fixturePath(run, ".png") << " is missing. " << kRerecordAdvice;
    // A cursor's blink aside the result is still.
    EXPECT_LT(SmokeTest::meanDifference(last, expected), 3.0)
        << run.name << ": the end looks other than " << fixturePath(run, ".png")
        << " (the playback's is last.png in a kept run folder). If the result's look changed on purpose, "
        << kRerecordAdvice;
    std::printf("%s: %zu state changes up to step %llu; %s\n", run.name, trace.steps.size(),
                static_cast<unsigned long long>(trace.lastStep()), trace.end.c_str());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RecordedRunTest, ::testing::ValuesIn(kRecordedRuns),
                         [](const ::testing::TestParamInfo<RecordedRun>& info) {
                             return std::string(info.param.name);
                         });

// The first steps of the give-up run, played at each of the slower speeds, take the recorded
// steps; when the frames run out the dungeon scene hands the dive to the result.
TEST_F(RecordedRunFixture, EachSpeedTakesTheRecordedSteps) {
    // The floor is up, and the first steps and the menu taken.
    constexpr uint64_t kFrames = 880;
    const RecordedRun& run = kRecordedRuns[0];
    ASSERT_NO_FATAL_FAILURE(run.prepare(runDirectory_));
    Fenwarrow::Replay::CReplayInfo replay;
    ASSERT_TRUE(Fenwarrow::Replay::loadReplayFile(replay, Orvex::System::widen(fixturePath(run, ".lrd").string())))
        << fixturePath(run, ".lrd") << ". " << kRerecordAdvice;
    ASSERT_GT(replay.getFrames().size(), kFrames);
    replay.getFrames().resize(kFrames);
    const fs::path shortReplay = runDirectory_ / "short.lrd";
    ASSERT_TRUE(Fenwarrow::Replay::saveReplayFile(replay, Orvex::System::widen(shortReplay.string())));
    const Trace recorded = Trace::parse(readText(fixturePath(run, ".trace"))).upTo(kFrames);

    std::string firstEnd;
    for (const int faster : {0, 1, 2, 3}) {
        const uint32_t speed = 1u << faster;
        installReplay(shortReplay);
        const ProgramRun played = playBack(faster);
        ASSERT_TRUE(played.reached && played.exited && played.exitCode == 0)
            << "speed " << speed << ": " << played.describe();
        const Trace trace = Trace::parse(played.output);
        if (const auto step = firstDivergence(recorded, trace)) {
            ADD_FAILURE() << "speed " << speed << ": " << describeDivergence(recorded, trace, *step) << kRerecordAdvice;
        }
        uint32_t fastest = 1;
        for (const uint32_t shown : trace.speeds) fastest = std::max(fastest, shown);
        EXPECT_EQ(fastest, speed) << played.describe();
        // The end is the same at every speed.
        if (firstEnd.empty()) firstEnd = trace.end;
        EXPECT_EQ(trace.end, firstEnd) << "speed " << speed;
    }
}

// The stop key (key 6) during playback ends it where it is: the result follows before the
// replay's frames are used up.
TEST_F(RecordedRunFixture, TheStopKeyEndsThePlaybackEarly) {
    const RecordedRun& run = kRecordedRuns[0];
    ASSERT_NO_FATAL_FAILURE(run.prepare(runDirectory_));
    const Trace recorded = Trace::parse(readText(fixturePath(run, ".trace")));
    ASSERT_FALSE(recorded.steps.empty()) << kRerecordAdvice;
    installReplay(fixturePath(run, ".lrd"));
    std::string stop;
    for (int read = 1000; read < 4000; read += 100) stop += pressKey(read, "A");
    const ProgramRun played = playBack(0, stop);
    ASSERT_TRUE(played.reached && played.exited && played.exitCode == 0) << played.describe();
    const Trace trace = Trace::parse(played.output);
    EXPECT_LT(trace.lastStep(), recorded.lastStep()) << played.describe();
    EXPECT_FALSE(firstDivergence(recorded.upTo(trace.lastStep()), trace).has_value()) << played.describe();
}

}  // namespace
