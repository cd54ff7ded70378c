#include "tools/common/CommandLineArgs.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace Orvex::Tools {
namespace {

struct ToolError : std::runtime_error {
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

TEST(CommandLineArgsTest, WholeNumbersMustFillTheTextAndFitThirtyTwoBits) {
    EXPECT_EQ(parseWholeNumber("0"), 0u);
    EXPECT_EQ(parseWholeNumber("4294967295"), 4294967295u);
    for (const char* bad : {"", "4294967296", "-1", "+1", " 1", "1 ", "12a", "0x10"}) {
        EXPECT_FALSE(parseWholeNumber(bad).has_value()) << '"' << bad << '"';
    }
    try {
        parseNumberOption<ToolError>("--size", "3O");
        FAIL() << "no error for a bad number";
    } catch (const ToolError& error) {
        EXPECT_STREQ(error.what(), "option --size: \"3O\" is not a whole number");
    }
}

TEST(CommandLineArgsTest, OptionValueIsTheNextArgumentOrANamedError) {
    const std::vector<std::string> args{"--name", "x", "--size", "stray"};
    size_t index = 0;
    EXPECT_EQ(takeOptionValue<ToolError>(args, index), "x");
    EXPECT_EQ(index, 1u);
    index = 2;
    EXPECT_EQ(takeOptionValue<ToolError>(args, index), "stray");
    index = 3;
    try {
        takeOptionValue<ToolError>(args, index);
        FAIL() << "no error for a last argument";
    } catch (const ToolError& error) {
        EXPECT_STREQ(error.what(), "unexpected argument \"stray\"");
    }
    EXPECT_EQ(missingValueMessage("--fps"), "option --fps needs a value");
}

TEST(CommandLineArgsTest, HelpIsALoneHelpArgument) {
    EXPECT_TRUE(isHelpRequest({"--help"}));
    EXPECT_TRUE(isHelpRequest({"-h"}));
    EXPECT_FALSE(isHelpRequest({}));
    EXPECT_FALSE(isHelpRequest({"--help", "--name"}));
    EXPECT_FALSE(isHelpRequest({"help"}));
}

}  // namespace
}  // namespace Orvex::Tools
