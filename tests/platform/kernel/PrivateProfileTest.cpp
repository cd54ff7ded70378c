#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/kernel/NativeFile.h"
#include "platform/kernel/PrivateProfile.h"

namespace {

using namespace Platform::Kernel;

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = makeTemporaryDirectory("profile");
        ASSERT_FALSE(folder_.empty());
        narrowPath_ = folder_ + "/profile.ini";
        std::ofstream{narrowPath_};
        path_ = std::u16string(narrowPath_.begin(), narrowPath_.end());
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void write(const std::string& bytes) { std::ofstream(narrowPath_, std::ios::binary | std::ios::trunc) << bytes; }
    std::string read() {
        std::ifstream file(narrowPath_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }
    uint32_t readInt(std::u16string_view key, int32_t def = 7) {
        return getPrivateProfileInt(u"Boot", key, def, path_);
    }

    std::string folder_;
    std::string narrowPath_;
    std::u16string path_;
};

TEST_F(PrivateProfileTest, IntegersFollowTheDocumentedParsingRules) {
    write(
        "\xEF\xBB\xBF; comment\r\n[other]\r\nA=1\r\n[ boot ]\r\n  a = 42 \r\nB=12abc\r\nC=abc\r\nD=-5\r\nA=99\r\n"
        "E=\"8\"\r\n[Boot]\r\nF=3\r\n");
    struct Case {
        std::u16string key;
        uint32_t expected;
    };
    const Case cases[] = {
        {u"A", 42},  // case-insensitive names, trimmed, first match wins
        {u"B", 12},  // leading digits
        {u"C", 0},   // not a number
        {u"D", 0},   // negative
        {u"E", 8},   // quotes stripped
        {u"F", 7},   // only the first section of a name counts
        {u"G", 7},   // absent key: the default
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readInt(c.key), c.expected) << std::string(c.key.begin(), c.key.end());
    }
}

TEST_F(PrivateProfileTest, MissingFileGivesDefaults) {
    std::remove(narrowPath_.c_str());
    EXPECT_EQ(readInt(u"A", 5), 5u);
    std::u16string out;
    EXPECT_EQ(getPrivateProfileString(u"Boot", u"Name", u"名無しの旅人", out, 64, path_), 6u);
    EXPECT_EQ(out, u"名無しの旅人");
}

TEST_F(PrivateProfileTest, StringsAreCutToTheBufferAndReportTheCopiedLength) {
    write("[Boot]\nName=\"abcdefgh\"\n");
    std::u16string out;
    EXPECT_EQ(getPrivateProfileString(u"Boot", u"Name", u"", out, 64, path_), 8u);
    EXPECT_EQ(out, u"abcdefgh");
    EXPECT_EQ(getPrivateProfileString(u"Boot", u"Name", u"", out, 5, path_), 4u);
    EXPECT_EQ(out, u"abcd");
}

TEST_F(PrivateProfileTest, ReadsUtf16FilesOfEitherByteOrderWithTheirMark) {
    const std::u16string text = u"\uFEFF[Boot]\r\nName=旅人\r\n";
    for (const bool bigEndian : {false, true}) {
        std::string bytes;
        for (char16_t c : text) {
            const char low = static_cast<char>(c & 0xFF);
            const char high = static_cast<char>(c >> 8);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        write(bytes);
        std::u16string out;
        getPrivateProfileString(u"Boot", u"Name", u"", out, 64, path_);
        EXPECT_EQ(out, u"旅人") << (bigEndian ? "big-endian" : "little-endian");
    }
}

// A folder where the file should be reads as an absent file, and says why; an absent or a
// readable file has nothing to say.
TEST_F(PrivateProfileTest, AFileThatCannotBeReadGivesDefaultsAndAReason) {
    write("[Boot]\nA=1\n");
    EXPECT_EQ(profileReadProblem(path_), u"");
    std::remove(narrowPath_.c_str());
    EXPECT_EQ(profileReadProblem(path_), u"");
    ASSERT_TRUE(std::filesystem::create_directory(narrowPath_));
    EXPECT_EQ(profileReadProblem(path_), u"is not a regular file");
    EXPECT_EQ(readInt(u"A", 5), 5u);
    std::u16string out;
    EXPECT_EQ(getPrivateProfileString(u"Boot", u"Name", u"x", out, 64, path_), 1u);
    EXPECT_FALSE(writePrivateProfileString(u"Boot", u"A", u"2", path_));
    std::filesystem::remove(narrowPath_);
}

TEST_F(PrivateProfileTest, WritingKeepsOtherLinesAndAddsWhatIsMissing) {
    write("; keep me\r\n[Boot]\r\nA=1\r\n\r\n[Keys]\r\nK=2\r\n");
    EXPECT_TRUE(writePrivateProfileString(u"Boot", u"A", u"10", path_));
    EXPECT_TRUE(writePrivateProfileString(u"Boot", u"B", u"True", path_));
    EXPECT_TRUE(writePrivateProfileString(u"New", u"C", u"名前", path_));
    EXPECT_EQ(read(), "; keep me\r\n[Boot]\r\nA=10\r\nB=True\r\n\r\n[Keys]\r\nK=2\r\n[New]\r\nC=名前\r\n");
    EXPECT_EQ(readInt(u"A"), 10u);
}

}  // namespace
