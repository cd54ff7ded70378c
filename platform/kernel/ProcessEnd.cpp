#include "platform/kernel/ProcessEnd.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <signal.h>
#include <unistd.h>

namespace Platform::Kernel {
namespace {

sigset_t terminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

void writeLine(const char* text) {
    const size_t length = std::strlen(text);
    (void)::write(STDERR_FILENO, text, length);
}

// Waits for the signals in `set` until `deadline`; returns the signal, or 0 at the deadline.
int waitForSignal(const sigset_t& set, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return 0;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        const int signal = ::sigtimedwait(&set, nullptr, &timeout);
        if (signal > 0) {
            return signal;
        }
    }
}

void watch(sigset_t set, std::function<void()> onRequest, uint32_t graceMs) {
    int signal = 0;
    while (signal <= 0) {
        if (::sigwait(&set, &signal) != 0) {
            signal = 0;
        }
    }
    char line[160];
    std::snprintf(line, sizeof line, "Signal %d (%s): ending the program.\n", signal, ::strsignal(signal));
    writeLine(line);
    onRequest();
    const int second = waitForSignal(set, std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs));
    if (second > 0) {
        std::snprintf(line, sizeof line, "Signal %d (%s) again: ending the program at once.\n", second,
                      ::strsignal(second));
    } else {
        std::snprintf(line, sizeof line, "The program did not end within %u ms of the signal: ending it at once.\n",
                      static_cast<unsigned>(graceMs));
    }
    writeLine(line);
    endProcessNow(1);
}

std::atomic<int> exitStatus{0};

}  // namespace

void recordExitFailure(int status) {
    int expected = 0;
    exitStatus.compare_exchange_strong(expected, status == 0 ? 1 : status);
}

int recordedExitStatus() { return exitStatus.load(); }

void resetRecordedExitStatus() { exitStatus.store(0); }

void endProcessNow(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

bool watchTerminationSignals(std::function<void()> onRequest, uint32_t graceMs) {
    static std::atomic<bool> installed{false};
    if (installed.exchange(true)) {
        return false;
    }
    const sigset_t set = terminationSignals();
    // Blocked here, the signals stay blocked in every thread started from now on, so only the
    // watcher's wait takes them.
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(watch, set, std::move(onRequest), graceMs).detach();
    return true;
}

}  // namespace Platform::Kernel
