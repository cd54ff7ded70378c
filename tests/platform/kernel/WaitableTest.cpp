#include <gtest/gtest.h>

#include <thread>

#include "platform/kernel/Waitable.h"

namespace {

using namespace Platform::Kernel;

TEST(Waitable, AutoResetEventIsConsumedByOneWait) {
    KernelEvent event(/*manualReset=*/false);
    event.set();
    EXPECT_EQ(waitForOne(event, 0), kWaitObject0);
    EXPECT_EQ(waitForOne(event, 0), kWaitTimeout);
}

TEST(Waitable, ManualResetEventStaysSignalledUntilReset) {
    KernelEvent event(/*manualReset=*/true);
    event.set();
    EXPECT_EQ(waitForOne(event, 0), kWaitObject0);
    EXPECT_EQ(waitForOne(event, 0), kWaitObject0);
    event.reset();
    EXPECT_EQ(waitForOne(event, 0), kWaitTimeout);
}

TEST(Waitable, WaitForAnyTakesOnlyTheLowestSignalledObject) {
    KernelEvent first(false);
    KernelEvent second(false);
    first.set();
    second.set();
    EXPECT_EQ(waitForAny({&first, &second}, 0), kWaitObject0 + 0);
    // The second event was not consumed by the first wait.
    EXPECT_EQ(waitForAny({&first, &second}, 0), kWaitObject0 + 1);
    EXPECT_EQ(waitForAny({&first, &second}, 0), kWaitTimeout);
}

TEST(Waitable, SetFromAnotherThreadWakesAnUnlimitedWait) {
    KernelEvent event(false);
    std::thread setter([&] { event.set(); });
    EXPECT_EQ(waitForOne(event, 10000), kWaitObject0);
    setter.join();
}

}  // namespace
