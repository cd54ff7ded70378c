#include "platform/kernel/ProcessEnd.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/kernel/Process.h"
#include "tests/support/HangGuard.h"

namespace {

using Platform::Kernel::endProcessNow;
using Platform::Kernel::signalThisProcess;
using Platform::Kernel::watchTerminationSignals;

[[noreturn]] void sleepForGood() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

// Each case runs in a child process of its own: the watcher is once per process. The main
// thread then sleeps for good, as a program whose shutdown hangs would.
TEST(TerminationSignalsDeathTest, ASignalAsksOnceAndTheWatcherEndsWhatDoesNotEnd) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The request itself ends the process: what a shutdown in order looks like.
    EXPECT_EXIT(
        {
            watchTerminationSignals([] { endProcessNow(0); }, 5000);
            signalThisProcess(SIGTERM);
            sleepForGood();
        },
        ::testing::ExitedWithCode(0), "Signal 15 \\(Terminated\\): ending the program");
    // The request is made, but nothing ends: the watcher ends the process after the grace time.
    EXPECT_EXIT(
        {
            watchTerminationSignals([] { std::fputs("asked to stop\n", stderr); }, 300);
            signalThisProcess(SIGINT);
            sleepForGood();
        },
        ::testing::ExitedWithCode(1), "asked to stop\n.*did not end within 300 ms of the signal");
    // A second signal does not wait for the grace time.
    EXPECT_EXIT(
        {
            watchTerminationSignals([] { signalThisProcess(SIGTERM); }, 600000);
            endThisProcessAfter(std::chrono::seconds(20));  // after: its thread must block the signals
            signalThisProcess(SIGTERM);
            sleepForGood();
        },
        ::testing::ExitedWithCode(1), "Signal 15 \\(Terminated\\) again: ending the program at once");
}

TEST(TerminationSignalsDeathTest, EndingNowFlushesWhatWasWrittenAndSkipsExitHandlers) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::atexit([] { std::fputs("exit handler ran\n", stderr); });
            std::fputs("buffered line", stderr);
            endProcessNow(3);
        },
        ::testing::ExitedWithCode(3), "^buffered line$");
}

}  // namespace
