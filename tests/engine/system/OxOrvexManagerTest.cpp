#include <gtest/gtest.h>

#include <filesystem>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"

namespace {

using Orvex::System::splitNarrowCommandLine;
using Orvex::System::splitWideCommandLine;

TEST(OxOrvexManager, CommandLineLosesItsQuotesAndNamesTheFileAfterTheLastSeparator) {
    struct Case {
        std::string raw;
        std::string line;
        std::string file;
    };
    const Case cases[] = {
        {"\"C:\\Games\\Fen\\Fenwarrow.exe\"", "C:\\Games\\Fen\\Fenwarrow.exe", "Fenwarrow.exe"},
        {"\"/opt/fen/Fenwarrow\"", "/opt/fen/Fenwarrow", "Fenwarrow"},
        {"\"C:\\a\\b.exe\" -x", "C:\\a\\b.exe\" -", "b.exe\" -"},  // arguments: still first and last dropped
        {"\"b.exe\"", "b.exe", ".exe"},                            // no separator: split index 0
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const auto narrow = splitNarrowCommandLine(c.raw);
        EXPECT_EQ(narrow.commandLine, c.line) << c.raw;
        EXPECT_EQ(narrow.fileName, c.file) << c.raw;
        const auto wide = splitWideCommandLine(std::u16string(c.raw.begin(), c.raw.end()));
        EXPECT_EQ(wide.fileName, std::u16string(c.file.begin(), c.file.end())) << c.raw;
    }
}

TEST(OxOrvexManager, ASeparatorThatTrailsALeadByteDoesNotSplit) {
    // "\xE5\\" would be a double-byte character whose trail byte is the backslash code.
    const auto parts = splitNarrowCommandLine("\"dir\\a\xE5\\b\"");
    EXPECT_EQ(parts.fileName, "a\xE5\\b");
}

TEST(OxOrvexManager, RecordsTheCurrentDirectoryAndLivesUntilDestroyed) {
    const std::filesystem::path original = std::filesystem::current_path();
    std::filesystem::current_path("/tmp");
    {
        Orvex::OxOrvexManager root;
        EXPECT_TRUE(Orvex::System::isEngineAlive());
        EXPECT_EQ(Orvex::OxOrvexManager::getBaseDirectory(), u"\\tmp");
        EXPECT_EQ(Orvex::System::engineState().baseDirectoryA, "\\tmp");
        EXPECT_NE(Orvex::System::engineState().moduleHandle, nullptr);
        EXPECT_FALSE(Orvex::System::engineState().fileNameA.empty());
    }
    EXPECT_FALSE(Orvex::System::isEngineAlive());
    Orvex::Thread::OxThreadManager::release();
    std::filesystem::current_path(original);
}

}  // namespace
