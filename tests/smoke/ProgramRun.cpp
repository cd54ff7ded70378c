#include "tests/smoke/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace SmokeTest {

namespace fs = std::filesystem;

std::string ProgramRun::describe() const {
    std::string text = timedOut ? "timed out"
                       : exited ? "exit status " + std::to_string(exitCode)
                                : "signal " + std::to_string(signal);
    return text + "; output:\n" + output;
}

fs::path copyRunFolder(const fs::path& from) {
    char pattern[] = "/tmp/fenwarrow-runXXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        return {};
    }
    const fs::path folder = pattern;
    for (const auto& entry : fs::directory_iterator(from)) {
        if (entry.is_regular_file()) {
            fs::copy_file(entry.path(), folder / entry.path().filename());
        }
    }
    return folder;
}

ProgramRun runProgram(const fs::path& program, const fs::path& folder, const std::vector<std::string>& environment,
                      std::chrono::seconds limit, SignalLater signalLater) {
    ProgramRun run;
    const fs::path log = folder / "program-output.log";
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::chdir(folder.c_str()) != 0) {
            ::_exit(127);
        }
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        for (const std::string& entry : environment) {
            ::putenv(const_cast<char*>(entry.c_str()));
        }
        // The test runner may block signals; the program starts with none blocked.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + limit;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (signalLater.signal != 0 && std::chrono::steady_clock::now() >= started + signalLater.after) {
            ::kill(child, signalLater.signal);
            signalLater.signal = 0;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.exited = WIFEXITED(status);
    run.exitCode = run.exited ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    std::ifstream file(log);
    run.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return run;
}

}  // namespace SmokeTest
