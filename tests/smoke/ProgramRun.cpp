#include "tests/smoke/ProgramRun.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "platform/kernel/ChildProcess.h"
#include "platform/kernel/NativeFile.h"

namespace SmokeTest {

namespace fs = std::filesystem;

namespace {

fs::path outputLog(const fs::path& folder) { return folder / "program-output.log"; }

std::string readLog(const fs::path& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Starts `program` headless in `folder`, its standard output and error going to a log there.
// False, with `run` filled as a shell reports a program it cannot run, when it cannot start.
bool startHeadless(Platform::Kernel::ChildProcess& child, const fs::path& program, const fs::path& folder,
                   const std::vector<std::string>& environment, ProgramRun& run) {
    using namespace Platform::Kernel;
    ChildOptions options;
    options.workingDirectory = folder;
    options.environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    options.environment.insert(options.environment.end(), environment.begin(), environment.end());
    options.output = options.errors = ChildOutput::kFile;
    options.outputFile = outputLog(folder);
    if (child.start(program, options)) {
        return true;
    }
    run.exited = true;
    run.exitCode = 127;
    run.output = child.error();
    return false;
}

}  // namespace

std::string ProgramRun::describe() const {
    std::string text = timedOut ? "timed out"
                       : exited ? "exit status " + std::to_string(exitCode)
                                : "signal " + std::to_string(signal);
    return text + "; output:\n" + output;
}

fs::path copyRunFolder(const fs::path& from) {
    const fs::path folder = Platform::Kernel::makeTemporaryDirectory("fenwarrow-run");
    if (folder.empty()) {
        return {};
    }
    // Sub-folders too: the developer scenes read plain files from them ("sample", "ADV").
    fs::copy(from, folder, fs::copy_options::recursive);
    return folder;
}

ProgramRun runProgram(const fs::path& program, const fs::path& folder, const std::vector<std::string>& environment,
                      std::chrono::seconds limit, SignalLater signalLater) {
    using namespace Platform::Kernel;
    ProgramRun run;
    ChildProcess child;
    if (!startHeadless(child, program, folder, environment, run)) {
        return run;
    }
    const auto started = std::chrono::steady_clock::now();
    std::optional<ChildEnd> end;
    if (signalLater.signal != 0 && !signalLater.whenExists.empty()) {
        while (!end && !fs::exists(signalLater.whenExists) && std::chrono::steady_clock::now() < started + limit) {
            end = child.waitUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
        }
        if (!end && fs::exists(signalLater.whenExists) &&
            !(end = child.waitUntil(std::chrono::steady_clock::now() + signalLater.after))) {
            child.signal(signalLater.signal);
        }
    } else if (signalLater.signal != 0 && !(end = child.waitUntil(started + signalLater.after))) {
        child.signal(signalLater.signal);
    }
    if (!end) {
        end = child.waitUntil(started + limit);
    }
    if (!end) {
        run.timedOut = true;
        end = child.kill();
    }
    run.exited = end->exited;
    run.exitCode = end->exitCode;
    run.signal = end->signal;
    run.output = readLog(outputLog(folder));
    return run;
}

ProgramRun runProgramUntil(const fs::path& program, const fs::path& folder, const std::vector<std::string>& environment,
                           std::chrono::seconds limit, const std::function<bool(const std::string&)>& reached,
                           int signal, std::chrono::milliseconds after) {
    using namespace Platform::Kernel;
    ProgramRun run;
    ChildProcess child;
    if (!startHeadless(child, program, folder, environment, run)) {
        return run;
    }
    const auto readOutput = [&] { return readLog(outputLog(folder)); };
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // When to send the signal once `reached` held; sent at most once.
    auto signalAt = std::chrono::steady_clock::time_point::max();
    bool signalled = false;
    std::optional<ChildEnd> end;
    while (!(end = child.waitUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(200)))) {
        const auto now = std::chrono::steady_clock::now();
        if (now > deadline) {
            run.timedOut = true;
            end = child.kill();
            break;
        }
        if (!run.reached && reached(readOutput())) {
            run.reached = true;
            signalAt = now + after;
        }
        if (!signalled && now >= signalAt) {
            child.signal(signal);
            signalled = true;
        }
    }
    run.exited = end->exited;
    run.exitCode = end->exitCode;
    run.signal = end->signal;
    run.output = readOutput();
    return run;
}

std::string pressKey(int read, const std::string& key) {
    return std::to_string(read) + ":" + key + "+," + std::to_string(read + 3) + ":" + key + "-,";
}

std::string quitFromTitle(int read) {
    // Up from the first entry wraps round to "quit". The pair comes twice, in case a loaded
    // machine plays the logo movie slower than its clock.
    return pressKey(read, "Up") + pressKey(read + 8, "Z") + pressKey(read + 600, "Up") + pressKey(read + 608, "Z");
}

}  // namespace SmokeTest
