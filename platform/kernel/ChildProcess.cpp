#include "platform/kernel/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform::Kernel {
namespace {

// One descriptor of this process, closed when it goes.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// What the child writes back when it cannot become the program.
struct StartFailure {
    int step;  // 0: the working directory, 1: the program
    int error;
};

std::vector<std::string> environmentWith(const std::vector<std::string>& entries) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    for (const std::string& entry : entries) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (std::string& existing : environment) {
            if (existing.compare(0, name.size(), name) == 0) {
                existing = entry;
                replaced = true;
            }
        }
        if (!replaced) {
            environment.push_back(entry);
        }
    }
    return environment;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

ChildEnd endFromStatus(int status) {
    ChildEnd end;
    end.exited = WIFEXITED(status);
    end.exitCode = end.exited ? WEXITSTATUS(status) : -1;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

}  // namespace

ChildProcess::~ChildProcess() {
    kill();
    closeOutput();
}

bool ChildProcess::start(const std::filesystem::path& program, const ChildOptions& options) {
    if (running()) {
        error_ = "cannot start " + program.string() + ": the child started before still runs";
        return false;
    }
    closeOutput();
    end_.reset();
    error_.clear();
    const auto refuse = [&](const std::string& what, int error) {
        error_ = "cannot start " + program.string() + ": " + what + ": " + std::strerror(error);
        return false;
    };

    // Everything the child needs is made here: between fork and exec only calls that are safe
    // in the copy of a process with threads may run.
    std::vector<std::string> arguments{program.string()};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> environment = environmentWith(options.environment);
    const std::vector<char*> argv = pointersTo(arguments);
    const std::vector<char*> envp = pointersTo(environment);
    const std::string directory = options.workingDirectory.string();

    const auto uses = [&](ChildOutput kind) { return options.output == kind || options.errors == kind; };
    Descriptor file, discard, pipeRead, pipeWrite, reportRead, reportWrite;
    if (uses(ChildOutput::kFile)) {
        file.reset(::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (file.get() < 0) {
            return refuse(options.outputFile.string(), errno);
        }
    }
    if (uses(ChildOutput::kDiscard)) {
        discard.reset(::open("/dev/null", O_WRONLY | O_CLOEXEC));
        if (discard.get() < 0) {
            return refuse("/dev/null", errno);
        }
    }
    int fds[2];
    if (uses(ChildOutput::kPipe)) {
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return refuse("the output pipe", errno);
        }
        pipeRead.reset(fds[0]);
        pipeWrite.reset(fds[1]);
    }
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return refuse("the report pipe", errno);
    }
    reportRead.reset(fds[0]);
    reportWrite.reset(fds[1]);
    const auto target = [&](ChildOutput kind) {
        switch (kind) {
            case ChildOutput::kDiscard:
                return discard.get();
            case ChildOutput::kFile:
                return file.get();
            case ChildOutput::kPipe:
                return pipeWrite.get();
            case ChildOutput::kInherit:
                break;
        }
        return -1;
    };
    const int outputTarget = target(options.output);
    const int errorTarget = target(options.errors);

    const pid_t child = ::fork();
    if (child < 0) {
        return refuse("fork", errno);
    }
    if (child == 0) {
        // dup2 leaves the copies open across exec; the originals close there.
        if ((outputTarget >= 0 && ::dup2(outputTarget, STDOUT_FILENO) < 0) ||
            (errorTarget >= 0 && ::dup2(errorTarget, STDERR_FILENO) < 0)) {
            ::_exit(127);
        }
        StartFailure failure{0, 0};
        if (directory.empty() || ::chdir(directory.c_str()) == 0) {
            // The caller may block signals; the program starts with none blocked.
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::execve(argv[0], argv.data(), envp.data());
            failure.step = 1;
        }
        failure.error = errno;
        [[maybe_unused]] const ssize_t written = ::write(reportWrite.get(), &failure, sizeof failure);
        ::_exit(127);
    }
    pid_ = child;
    reportWrite.reset();
    pipeWrite.reset();
    StartFailure failure{};
    ssize_t got = 0;
    do {
        got = ::read(reportRead.get(), &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof failure)) {
        wait();
        return refuse(failure.step == 0 ? "working directory " + directory : std::string("the program"), failure.error);
    }
    outputPipe_ = pipeRead.release();
    return true;
}

bool ChildProcess::reap(bool block) {
    if (!running()) {
        return true;
    }
    int status = 0;
    pid_t got = 0;
    do {
        got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) {
        return false;
    }
    // -1 here means the child was reaped elsewhere: it ended, how is unknown.
    end_ = got == pid_ ? endFromStatus(status) : ChildEnd{};
    pid_ = -1;
    return true;
}

std::optional<ChildEnd> ChildProcess::waitUntil(std::chrono::steady_clock::time_point deadline) {
    while (!reap(false)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(std::chrono::milliseconds(5), deadline - now));
    }
    return end_.value_or(ChildEnd{});
}

ChildEnd ChildProcess::wait() {
    reap(true);
    return end_.value_or(ChildEnd{});
}

bool ChildProcess::signal(int number) { return running() && ::kill(pid_, number) == 0; }

ChildEnd ChildProcess::kill() {
    if (running()) {
        ::kill(pid_, SIGKILL);
    }
    return wait();
}

std::string ChildProcess::readOutput() {
    if (outputPipe_ < 0) {
        return {};
    }
    char buffer[4096];
    ssize_t got = 0;
    do {
        got = ::read(outputPipe_, buffer, sizeof buffer);
    } while (got < 0 && errno == EINTR);
    return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
}

void ChildProcess::closeOutput() {
    if (outputPipe_ >= 0) {
        ::close(outputPipe_);
        outputPipe_ = -1;
    }
}

}  // namespace Platform::Kernel
