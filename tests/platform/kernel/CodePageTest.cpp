#include <gtest/gtest.h>

#include "platform/kernel/CodePage.h"

namespace {

using Platform::Kernel::multiByteToWide;
using Platform::Kernel::wideToMultiByte;

TEST(CodePage, RoundTripsJapaneseAndSupplementaryCharacters) {
    const std::string narrow = "名無しの旅人 a\xF0\x9F\x98\x80";  // includes U+1F600
    std::u16string wide;
    ASSERT_TRUE(multiByteToWide(narrow, wide));
    EXPECT_EQ(wide, u"名無しの旅人 a\U0001F600");
    EXPECT_EQ(wide.size(), 10u);  // the supplementary character takes two code units
    std::string back;
    ASSERT_TRUE(wideToMultiByte(wide, back));
    EXPECT_EQ(back, narrow);
}

TEST(CodePage, MalformedInputFailsAndLeavesOutputAlone) {
    const std::string badNarrow[] = {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\x80"};
    for (const std::string& bad : badNarrow) {
        std::u16string wide = u"keep";
        EXPECT_FALSE(multiByteToWide(bad, wide)) << "input byte count " << bad.size();
        EXPECT_EQ(wide, u"keep");
    }
    const std::u16string badWide[] = {std::u16string(1, char16_t(0xD800)), std::u16string(1, char16_t(0xDC00)) + u"x"};
    for (const std::u16string& bad : badWide) {
        std::string narrow = "keep";
        EXPECT_FALSE(wideToMultiByte(bad, narrow));
        EXPECT_EQ(narrow, "keep");
    }
}

TEST(CodePage, NoTrailByteOfAMultiByteCharacterIsASeparator) {
    // The engine scans narrow paths backwards for '\\'; in UTF-8 a trail byte never equals it.
    EXPECT_FALSE(Platform::Kernel::isLeadByte('\\'));
    EXPECT_FALSE(Platform::Kernel::isLeadByte('a'));
    EXPECT_TRUE(Platform::Kernel::isLeadByte(0xE5));
    EXPECT_FALSE(Platform::Kernel::isLeadByte(0x80));
}

}  // namespace
