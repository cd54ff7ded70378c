#include "platform/kernel/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/kernel/NativeFile.h"

namespace {

using namespace Platform::Kernel;
using Clock = std::chrono::steady_clock;

// A child that runs until it is ended.
bool startSleeper(ChildProcess& child) {
    ChildOptions options;
    options.arguments = {"30"};
    return child.start("/bin/sleep", options);
}

std::string readAll(ChildProcess& child) {
    std::string text;
    for (std::string part = child.readOutput(); !part.empty(); part = child.readOutput()) {
        text += part;
    }
    return text;
}

// Arguments, working directory and environment reach the program; each stream goes where it
// was sent; the exit status comes back.
TEST(ChildProcessTest, RunsTheProgramAsAskedAndReportsItsExit) {
    const std::string folder = makeTemporaryDirectory("child");
    ASSERT_FALSE(folder.empty());
    ChildOptions options;
    options.arguments = {"-c", "pwd; echo \"$GREETING $HOME_KEPT\"; echo refused >&2; exit 3"};
    options.workingDirectory = folder;
    options.environment = {"GREETING=first", "HOME_KEPT=x", "GREETING=hello"};
    options.output = ChildOutput::kPipe;
    options.errors = ChildOutput::kFile;
    options.outputFile = folder + "/errors.log";
    ChildProcess child;
    ASSERT_TRUE(child.start("/bin/sh", options)) << child.error();
    EXPECT_EQ(readAll(child), std::filesystem::canonical(folder).string() + "\nhello x\n");
    const ChildEnd end = child.wait();
    EXPECT_FALSE(child.running());
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.exitCode, 3);
    std::ifstream errors(options.outputFile);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(errors), {}), "refused\n");
    std::filesystem::remove_all(folder);
}

// A wait ends at its deadline while the child runs on; a signal or a kill ends the child and
// says which signal did.
TEST(ChildProcessTest, WaitsUntilTheDeadlineAndEndsTheChildBySignal) {
    ChildProcess child;
    ASSERT_TRUE(startSleeper(child)) << child.error();
    const auto started = Clock::now();
    EXPECT_FALSE(child.waitUntil(started + std::chrono::milliseconds(100)).has_value());
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(100));
    EXPECT_TRUE(child.running());
    ASSERT_TRUE(child.signal(SIGTERM));
    const auto end = child.waitUntil(Clock::now() + std::chrono::seconds(10));
    ASSERT_TRUE(end.has_value());
    EXPECT_FALSE(end->exited);
    EXPECT_EQ(end->signal, SIGTERM);
    EXPECT_FALSE(child.signal(SIGTERM)) << "no child runs";

    ASSERT_TRUE(startSleeper(child)) << child.error();
    EXPECT_EQ(child.kill().signal, SIGKILL);
    EXPECT_FALSE(child.running());
}

TEST(ChildProcessTest, AChildThatCannotStartSaysWhy) {
    ChildProcess child;
    EXPECT_FALSE(child.start("/nonexistent/program"));
    EXPECT_NE(child.error().find("/nonexistent/program: the program: No such file"), std::string::npos)
        << child.error();
    EXPECT_FALSE(child.running());
    ChildOptions options;
    options.workingDirectory = "/nonexistent/folder";
    EXPECT_FALSE(child.start("/bin/true", options));
    EXPECT_NE(child.error().find("working directory /nonexistent/folder: No such file"), std::string::npos)
        << child.error();
    options = {};
    options.output = ChildOutput::kFile;
    options.outputFile = "/nonexistent/out.log";
    EXPECT_FALSE(child.start("/bin/true", options));
    EXPECT_NE(child.error().find("/nonexistent/out.log: No such file"), std::string::npos) << child.error();

    ASSERT_TRUE(startSleeper(child)) << child.error();
    EXPECT_FALSE(child.start("/bin/true"));
    EXPECT_NE(child.error().find("still runs"), std::string::npos) << child.error();
}

}  // namespace
