#include <gtest/gtest.h>

#include <atomic>

#include "platform/kernel/NativeThread.h"

namespace {

using namespace Platform::Kernel;

TEST(NativeThread, HandleKnowsTheThreadIdAndSignalsWhenTheBodyEnds) {
    KernelEvent release(true);
    std::atomic<ThreadId> seenId{0};
    auto handle = startThread([&] {
        seenId = currentThreadId();
        waitForOne(release, 10000);
    });
    ASSERT_TRUE(handle);
    EXPECT_NE(handle->id(), 0u);
    EXPECT_NE(handle->id(), currentThreadId());
    EXPECT_EQ(waitForOne(*handle, 20), kWaitTimeout);  // still running
    release.set();
    EXPECT_EQ(waitForOne(*handle, 10000), kWaitObject0);
    EXPECT_EQ(seenId.load(), handle->id());
}

TEST(NativeThread, DroppingTheHandleOfARunningThreadNeitherBlocksNorLeaksIt) {
    KernelEvent release(true);
    KernelEvent done(true);
    {
        auto handle = startThread([&] {
            waitForOne(release, 10000);
            done.set();
        });
        ASSERT_TRUE(handle);
    }
    release.set();
    EXPECT_EQ(waitForOne(done, 10000), kWaitObject0);
}

TEST(NativeThread, PseudoHandleNamesTheCallingThread) {
    auto pseudo = ThreadHandle::currentThreadPseudo();
    EXPECT_TRUE(pseudo->isPseudo());
    EXPECT_EQ(pseudo->value(), -2);
    EXPECT_EQ(pseudo->id(), currentThreadId());
}

}  // namespace
