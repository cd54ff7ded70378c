#include "engine/io/OxPathUtility.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "engine/system/OxEngineState.h"
#include "tests/engine/io/TempFolder.h"

namespace {

using namespace Orvex::IO;

class BaseDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = Orvex::System::engineState().baseDirectoryW;
        Orvex::System::engineState().baseDirectoryW = u"\\home\\player\\game";
    }
    void TearDown() override { Orvex::System::engineState().baseDirectoryW = saved_; }

private:
    std::u16string saved_;
};

TEST_F(BaseDirectory, MakeAbsolutePathResolvesAgainstTheBaseDirectory) {
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"abc", u""},  // shorter than 4 characters
        {u"Data/Script/a.lua", u"\\home\\player\\game\\Data\\Script\\a.lua"},
        {u"./Data/a.lua", u"\\home\\player\\game\\Data\\a.lua"},
        {u".\\Data\\a.lua", u"\\home\\player\\game\\Data\\a.lua"},
        {u"../save/c000.bin", u"\\home\\player\\save\\c000.bin"},
        {u"..\\../x.bin", u"\\home\\x.bin"},
        {u"../../../../x.bin", u"\\x.bin"},  // never climbs above the root
        {u"\\\\server/share/x", u"\\\\server\\share\\x"},
        {u"C:/games/x.bin", u"C:\\games\\x.bin"},
        {u"/usr/share/game/d000.bin", u"\\usr\\share\\game\\d000.bin"},  // POSIX absolute
    };
    for (const auto& c : cases) {
        EXPECT_EQ(makeAbsolutePath(c.in), c.out) << Orvex::System::narrow(c.in);
    }
}

TEST(PathUtility, GetParentDirectory) {
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"C:\\games\\data\\", u"C:\\games"},
        {u"C:\\games", u"C:\\"},
        {u"C:/games/data/file.bin", u"C:/games/data"},
        {u"\\home\\player\\game", u"\\home\\player"},
        {u"\\home", u"\\"},  // a name below the root has the root as parent
        {u"\\", u"\\"},
        {u"plain", u"plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(getParentDirectory(c.in), c.out) << Orvex::System::narrow(c.in);
    }
}

TEST(PathUtility, NativePathUsesSlashesAndUtf8) {
    EXPECT_EQ(toNativePath(u"\\tmp\\データ\\a.bin"), "/tmp/データ/a.bin");
    EXPECT_EQ(toNativePath(std::u16string(1, char16_t(0xD800))), "");  // lone surrogate
}

TEST(PathUtility, CreateDirectoriesMakesEveryMissingLevel) {
    TempFolder temp;
    EXPECT_TRUE(createDirectories(u"Replay\\a/b\\"));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "Replay/a/b"));
    EXPECT_TRUE(createDirectories(u"Replay\\a\\b"));  // existing: nothing to do
    temp.writeFile("blocker", {1});
    EXPECT_FALSE(createDirectories(u"blocker\\sub"));  // a file stands in the way
}

TEST(PathUtility, FilesAreCreatedTestedAndDeleted) {
    TempFolder temp;
    EXPECT_FALSE(fileExists(u"c000.bin"));
    EXPECT_TRUE(deleteFileIfExists(u"c000.bin"));
    temp.writeFile("c000.bin", {1, 2, 3});
    EXPECT_TRUE(fileExists(u"./c000.bin"));
    EXPECT_TRUE(createEmptyFile(u"c000.bin"));  // empties an existing file
    EXPECT_EQ(std::filesystem::file_size(temp / "c000.bin"), 0u);
    EXPECT_TRUE(deleteFileIfExists(u"c000.bin"));
    EXPECT_FALSE(fileExists(u"c000.bin"));
    EXPECT_TRUE(createDirectories(u"Temp"));
    EXPECT_FALSE(fileExists(u"Temp"));  // a folder is not a file
    EXPECT_FALSE(createEmptyFile(u"missing\\x.bin"));
}

}  // namespace
