#include <gtest/gtest.h>

#include <thread>

#include "engine/system/OxException.h"
#include "engine/system/OxStringConvert.h"
#include "engine/thread/OxCriticalSection.h"
#include "tests/engine/thread/DebugCapture.h"

namespace {

using Orvex::Exception::OxRuntimeException;
using Orvex::Thread::OxCriticalLock;
using Orvex::Thread::OxCriticalSection;

std::string leaveMessage(OxCriticalSection& section) {
    try {
        section.leave();
    } catch (const OxRuntimeException& e) {
        return e.getMessage();
    }
    return "(no exception)";
}

TEST(OxCriticalSection, EnteredThreeTimesIsFreedByThreeLeavesAndAFourthRaises) {
    OxCriticalSection section;
    for (int i = 0; i < 3; ++i) section.enter();
    EXPECT_TRUE(section.isOwner());
    EXPECT_EQ(section.getEnterCount(), 3u);
    for (int i = 0; i < 3; ++i) section.leave();
    EXPECT_FALSE(section.isOwner());
    EXPECT_EQ(section.getEnterCount(), 0u);
    EXPECT_EQ(leaveMessage(section), "OxCriticalSectionをEnterしていないのにLeaveしている.");
}

TEST(OxCriticalSection, AnotherThreadCannotLeaveWhatItDoesNotHold) {
    OxCriticalSection section;
    section.enter();
    std::string message;
    std::thread other([&] { message = leaveMessage(section); });
    other.join();
    EXPECT_EQ(message, "OxCriticalSectionをEnterしていないのにLeaveしている.");
    EXPECT_TRUE(section.isOwner());
    section.leave();
}

TEST(OxCriticalSection, ExcludesOtherThreads) {
    OxCriticalSection section;
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                OxCriticalLock lock(section);
                ++counter;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, 40000);
}

TEST(OxCriticalLock, NestsOnASectionTheThreadAlreadyHolds) {
    OxCriticalSection section;
    section.enter();
    {
        OxCriticalLock lock(section);
        EXPECT_EQ(section.getEnterCount(), 2u);
        EXPECT_EQ(lock.getHoldCount(), 1);
    }
    EXPECT_EQ(section.getEnterCount(), 1u);
    section.leave();
}

TEST(OxCriticalLock, ALockLeftByHandIsNotLeftAgain) {
    OxCriticalSection section;
    {
        OxCriticalLock lock(section);
        section.leave();
        lock.setHoldCount(0);
        EXPECT_EQ(section.getEnterCount(), 0u);
    }
    EXPECT_EQ(section.getEnterCount(), 0u);
}

TEST(OxCriticalSection, DestroyedWhileEnteredIsReported) {
    DebugCapture capture;
    {
        OxCriticalSection section;
        section.enter();
        section.enter();
    }
    EXPECT_TRUE(
        capture.contains(Orvex::System::widen("OxCriticalSectionをEnterした回数だけLeaveしないまま終了している.")));
}

}  // namespace
