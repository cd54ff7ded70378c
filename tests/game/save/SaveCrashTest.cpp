// A process that saves in a loop is killed with SIGKILL at random moments, 200 times: after
// every kill the common save is the one before or a later one, whole and readable, never a
// part of one (the child checks each and reports; see SaveCrashChild.cpp).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/kernel/ChildProcess.h"
#include "tests/engine/io/TempFolder.h"

namespace {

TEST(SaveCrash, EveryKillLeavesAWholeSave) {
    TempFolder folder;
    Platform::Kernel::ChildProcess child;
    Platform::Kernel::ChildOptions options;
    options.arguments = {"200", "20261210"};
    options.workingDirectory = folder.path();
    options.output = Platform::Kernel::ChildOutput::kPipe;
    ASSERT_TRUE(child.start(SAVE_CRASH_CHILD, options)) << child.error();
    std::string output;
    for (std::string piece = child.readOutput(); !piece.empty(); piece = child.readOutput()) {
        output += piece;
    }
    const auto end = child.waitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(90));
    ASSERT_TRUE(end.has_value()) << "the child does not end";
    EXPECT_TRUE(end->exited && end->exitCode == 0) << output;
    // Some kills must have come after a newer save was complete, or nothing was tested.
    const auto done = output.find("done 200 ");
    ASSERT_NE(done, std::string::npos) << output;
    EXPECT_GT(std::stoi(output.substr(done + 9)), 0) << output;
}

}  // namespace
