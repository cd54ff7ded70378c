#pragma once
// Runs the real program headless in a folder of its own and reports how it ended.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace SmokeTest {

struct ProgramRun {
    bool timedOut = false;  // killed at the limit
    bool exited = false;    // ended through exit (else by a signal)
    int exitCode = -1;
    int signal = 0;
    std::string output;  // stdout and stderr together
    std::string describe() const;
};

// Copies the regular files of `from` into a new temporary folder and returns it.
std::filesystem::path copyRunFolder(const std::filesystem::path& from);

// A signal sent to the program once it has run for `after`.
struct SignalLater {
    int signal = 0;
    std::chrono::milliseconds after{0};
};

// Starts `program` in `folder` with SDL's dummy video and audio drivers and the given extra
// environment entries ("NAME=value"); kills it when it runs longer than `limit`.
ProgramRun runProgram(const std::filesystem::path& program, const std::filesystem::path& folder,
                      const std::vector<std::string>& environment, std::chrono::seconds limit,
                      SignalLater signalLater = {});

}  // namespace SmokeTest
