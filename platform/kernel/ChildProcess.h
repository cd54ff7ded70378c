#pragma once
// Another program started from this one and owned until it ends: its start, a wait with a time
// limit, signals, and its standard output read back.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Platform::Kernel {

// Where a child's standard output or standard error goes.
enum class ChildOutput {
    kInherit,  // where this process's goes
    kDiscard,  // nowhere
    kFile,     // to ChildOptions::outputFile, made or emptied; both streams sent there share it
    kPipe,     // to a pipe read with ChildProcess::readOutput; both streams sent there share it
};

struct ChildOptions {
    std::vector<std::string> arguments;      // after the program's own name
    std::filesystem::path workingDirectory;  // empty: this process's
    // "NAME=value" entries set over this process's environment, in order.
    std::vector<std::string> environment;
    ChildOutput output = ChildOutput::kInherit;  // standard output
    ChildOutput errors = ChildOutput::kInherit;  // standard error
    std::filesystem::path outputFile;
};

// How a child ended: through exit with `exitCode`, or killed by `signal`.
struct ChildEnd {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;
};

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A child still running is killed and waited for.
    ~ChildProcess();

    // Starts `program` (a path; PATH is not searched) with no signal blocked. False, with the
    // reason in error(), when it cannot: the program cannot be run, the working directory or the
    // output file cannot be used, or a child started earlier still runs.
    bool start(const std::filesystem::path& program, const ChildOptions& options = {});
    const std::string& error() const { return error_; }
    bool running() const { return pid_ > 0; }

    // Waits until `deadline` at most for the child to end; nothing when it still runs then.
    std::optional<ChildEnd> waitUntil(std::chrono::steady_clock::time_point deadline);
    ChildEnd wait();
    // Sends `signal` to the running child; false when none runs.
    bool signal(int number);
    // Ends the running child at once and waits for it; how it (or an earlier child) ended.
    ChildEnd kill();
    // Blocks until some piped output arrives and returns it; empty once the child closed it.
    std::string readOutput();

private:
    bool reap(bool block);
    void closeOutput();

    int pid_ = -1;
    int outputPipe_ = -1;
    std::string error_;
    std::optional<ChildEnd> end_;
};

}  // namespace Platform::Kernel
