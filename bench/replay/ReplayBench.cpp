// Replays: the cost of one recorded input step (the key snapshot, the frame appended and, every
// 602 steps, a chunk written), merging the 100 chunks of a long run, and one displayed frame of
// 16x playback (16 input steps, each read by a reader of all twelve keys). Files go to a folder
// in memory (/dev/shm when there is one), so the figures are the game's work, not the disk's.
// Run pinned to one core, e.g.
//   taskset -c 3 bench_replay --benchmark_repetitions=5 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <string>

#include "engine/input/IOrvexKeyBase.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "platform/kernel/Process.h"

namespace {

namespace fs = std::filesystem;
using Fenwarrow::Replay::CReplayController;
using Fenwarrow::Replay::CReplayInfo;
using Fenwarrow::Replay::kReplayKeyCount;

class PatternButtons : public Orvex::InputSystem::IOrvexKeyBase {
public:
    void clearAllKeys() override { down.fill(false); }
    void clearKey(uint32_t) override {}
    bool isDown(uint32_t button) override { return button < down.size() && down[button]; }
    bool isPushed(uint32_t) override { return false; }
    bool isReleased(uint32_t) override { return false; }
    uint32_t getKeyCount() override { return static_cast<uint32_t>(down.size()); }

    std::array<bool, kReplayKeyCount> down{};
};

// The game as the replay code sees it, with keys that change from step to step.
class BenchGame : public Fenwarrow::Replay::IReplayContext {
public:
    BenchGame() {
        live.addDevice(&buttons);
        for (uint32_t key = 0; key < kReplayKeyCount; ++key) live.bind(key, 0, key);
    }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::u16string getPlayerName() override { return u"ベンチ"; }
    float getPlayTime() override { return playTime; }
    Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() override { return live; }

    void advance() {
        for (uint32_t key = 0; key < kReplayKeyCount; ++key) buttons.down[key] = (frame / (key + 2)) % 3 == 0;
        live.update();
        playTime += 1.0f / 60.0f;
        ++frame;
    }

    Orvex::Random::OxMT19937RandomGenerator random;
    PatternButtons buttons;
    Orvex::InputSystem::OxVirtualKey live;
    float playTime = 0.0f;
    uint32_t frame = 0;
};

// A folder in memory made the working folder while it lives ("Temp/", "Replay/").
class Folder {
public:
    Folder() : previous(fs::current_path()), previousBase(Orvex::System::engineState().baseDirectoryW) {
        const fs::path root = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        path = root / ("orvex-replay-bench-" + std::to_string(Platform::Kernel::processId()));
        fs::create_directories(path);
        fs::current_path(path);
        // The game's relative paths ("Temp/", "Replay/") are taken from the engine's base folder.
        Orvex::System::engineState().baseDirectoryW = Orvex::System::widen(path.string());
    }
    ~Folder() {
        fs::current_path(previous);
        Orvex::System::engineState().baseDirectoryW = previousBase;
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path previous;
    std::u16string previousBase;
    fs::path path;
};

// One input step while recording; every 602nd writes a chunk, so the mean includes the spill.
void BM_RecordStep(benchmark::State& state) {
    Folder folder;
    BenchGame game;
    CReplayController controller(game);
    controller.setMode(CReplayController::kModeRecording);
    for (auto _ : state) {
        state.PauseTiming();
        game.advance();
        state.ResumeTiming();
        controller.update();
        benchmark::DoNotOptimize(controller.getVirtualKey()->isDown(0));
    }
}
BENCHMARK(BM_RecordStep)->MinTime(1.0);

// The 100 chunks of a run of 60,200 input steps (about 17 minutes of play) merged into the
// replay (each read, checked, decompressed and decoded); writing the replay is not timed.
void BM_MergeHundredChunks(benchmark::State& state) {
    Folder folder;
    BenchGame game;
    CReplayInfo chunk(game.random, u"ベンチ");
    for (uint32_t i = 0; i < CReplayController::kFramesPerChunk; ++i) {
        game.advance();
        chunk.appendFrame(game.live, game.playTime);
    }
    fs::create_directories("Temp");
    for (auto _ : state) {
        state.PauseTiming();
        for (uint32_t k = 0; k < 100; ++k) {
            Fenwarrow::Replay::saveReplayFile(chunk, CReplayController::getChunkPath(k));
        }
        {
            // A controller made now would itself recover these chunks as a run cut short.
            fs::rename("Temp", "Held");
        }
        CReplayController controller(game);
        fs::rename("Held", "Temp");
        controller.setMode(CReplayController::kModeRecording);
        state.ResumeTiming();
        controller.mergeTempChunks();
        state.PauseTiming();
        const std::size_t merged = controller.getInfo()->getFrames().size();
        if (merged != 100 * 602) {
            state.SkipWithError(("the merge gave " + std::to_string(merged) + " frames").c_str());
            break;
        }
        if (!controller.saveReplay()) {
            state.SkipWithError("the merged replay was not written");
            break;
        }
        fs::remove_all("Replay");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MergeHundredChunks)->Unit(benchmark::kMillisecond);

// One displayed frame at the highest speed: 16 input steps, each read for all twelve keys.
void BM_PlaybackFrameAt16x(benchmark::State& state) {
    Folder folder;
    BenchGame game;
    {
        CReplayController recorder(game);
        recorder.setMode(CReplayController::kModeRecording);
        for (uint32_t i = 0; i < 500; ++i) {
            game.advance();
            recorder.update();
        }
        recorder.saveReplayFile(u"run.lrd");
    }
    CReplayController controller(game);
    uint64_t sink = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (controller.getState() != CReplayController::kStateRunning) {
            controller.loadReplay(u"run.lrd");
            controller.setMode(CReplayController::kModePlayback);
            controller.start();
            controller.setSpeed(4);
        }
        state.ResumeTiming();
        for (uint32_t step = 0; step < 16; ++step) {
            controller.update();
            const auto keys = controller.getVirtualKey();
            for (uint32_t key = 0; key < kReplayKeyCount; ++key) {
                sink += keys->isPushed(key) + keys->isRepeat(key) + keys->getHoldCount(key);
            }
        }
    }
    benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_PlaybackFrameAt16x)->MinTime(1.0);

}  // namespace
