#include <gtest/gtest.h>

#include "engine/system/OxWideFormat.h"

namespace {

using Orvex::System::formatWide;

TEST(OxWideFormat, FormatsTheSystemsOwnFormatStrings) {
    EXPECT_EQ(formatWide(u"MainThread h=%d\n", -2), u"MainThread h=-2\n");
    EXPECT_EQ(formatWide(u"%s%s%06d%s", std::u16string(u"Temp\\"), u"replay", 42, u".tmp"), u"Temp\\replay000042.tmp");
    EXPECT_EQ(formatWide(u"%04d/%02d/%02d", 2026, 3, 7), u"2026/03/07");
    EXPECT_EQ(formatWide(u"ver.%s %s", u"1.00", std::string("narrow")), u"ver.1.00 narrow");
    EXPECT_EQ(formatWide(u"%S", "狭い"), u"狭い");
}

TEST(OxWideFormat, NumbersFollowPrintf) {
    struct Case {
        std::u16string format;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"%6d|", u"    42|"}, {u"%-6d|", u"42    |"}, {u"%x", u"2a"},       {u"%X", u"2A"},
        {u"%.2f", u"42.00"},   {u"%5.1f", u" 42.0"},   {u"%%%d%%", u"%42%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatWide(c.format, 42), c.expected);
    }
    EXPECT_EQ(formatWide(u"%f", 1.5f), u"1.500000");
}

TEST(OxWideFormat, NegativeThirtyTwoBitValuesPrintUnsignedAsTheirBitPattern) {
    EXPECT_EQ(formatWide(u"%u", -1), u"4294967295");
    EXPECT_EQ(formatWide(u"%x", int32_t{-1}), u"ffffffff");
}

TEST(OxWideFormat, StringsHonourWidthAndPrecisionInCodeUnits) {
    EXPECT_EQ(formatWide(u"[%5s]", u"あい"), u"[   あい]");
    EXPECT_EQ(formatWide(u"[%-4s]", u"x"), u"[x   ]");
    EXPECT_EQ(formatWide(u"[%.2s]", u"あいう"), u"[あい]");
}

TEST(OxWideFormat, MissingArgumentsAndDanglingPercentAreHarmless) {
    EXPECT_EQ(formatWide(u"a%db"), u"ab");
    EXPECT_EQ(formatWide(u"100%", 1), u"100%");
}

}  // namespace
