#pragma once
// Runs the real program headless in a folder of its own and reports how it ended.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace SmokeTest {

struct ProgramRun {
    bool timedOut = false;  // killed at the limit
    bool reached = false;   // runProgramUntil: what it waited for came
    bool exited = false;    // ended through exit (else by a signal)
    int exitCode = -1;
    int signal = 0;
    std::string output;  // stdout and stderr together
    std::string describe() const;
};

// Copies `from` with its sub-folders into a new temporary folder and returns it.
std::filesystem::path copyRunFolder(const std::filesystem::path& from);

// A signal sent to the program once it has run for `after`, or, when `whenExists` is set, once
// that file exists (looked for every 100 ms) and `after` has passed since.
struct SignalLater {
    SignalLater() = default;
    SignalLater(int signal, std::chrono::milliseconds after, std::filesystem::path whenExists = {})
        : signal(signal), after(after), whenExists(std::move(whenExists)) {}

    int signal = 0;
    std::chrono::milliseconds after{0};
    std::filesystem::path whenExists;
};

// Starts `program` in `folder` with SDL's dummy video and audio drivers and the given extra
// environment entries ("NAME=value"); kills it when it runs longer than `limit`.
ProgramRun runProgram(const std::filesystem::path& program, const std::filesystem::path& folder,
                      const std::vector<std::string>& environment, std::chrono::seconds limit,
                      SignalLater signalLater = {});

// As runProgram, but the program's output is looked at every 200 ms: once `reached(output)`
// holds, `signal` is sent `after` that.
ProgramRun runProgramUntil(const std::filesystem::path& program, const std::filesystem::path& folder,
                           const std::vector<std::string>& environment, std::chrono::seconds limit,
                           const std::function<bool(const std::string&)>& reached, int signal,
                           std::chrono::milliseconds after = std::chrono::milliseconds(0));

// Recorded keys (ORVEX_INPUT_KEYS) counted in the game's keyboard reads. The logo and the
// title's fade-in are over within 230 reads (the game reads at most 60 times a second, and a
// slower run needs fewer reads for them). A press holds the key for three reads and lets it go
// for three.
std::string pressKey(int read, const std::string& key);
// The title menu's last entry, "quit": up from the first entry, then decide; once more 600
// reads later.
std::string quitFromTitle(int read);

// A fixture with a fresh copy of the built run folder (ORVEX_RUN_DIR) for each test.
class RunFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        runDirectory_ = copyRunFolder(ORVEX_RUN_DIR);
        ASSERT_FALSE(runDirectory_.empty());
    }
    // With ORVEX_SMOKE_KEEP_RUN set the folder stays, with the frames taken in it (to look at
    // them or to renew a reference).
    void TearDown() override {
        if (std::getenv("ORVEX_SMOKE_KEEP_RUN") != nullptr) {
            std::printf("run folder kept: %s\n", runDirectory_.c_str());
            return;
        }
        std::filesystem::remove_all(runDirectory_);
    }

    std::filesystem::path runDirectory_;
};

}  // namespace SmokeTest
