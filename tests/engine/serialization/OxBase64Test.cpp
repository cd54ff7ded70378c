#include <gtest/gtest.h>

#include <string>

#include "engine/serialization/OxBase64.h"

namespace {

using namespace Orvex::Serialization;

TEST(OxBase64, EncodesEveryLengthModuloThreeWithPadding) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\0\0\0", 3), "AAAA"},
        {std::string("\xFF\xFE\x00\x01", 4), "//4AAQ=="},
        {std::string("\xFB\xEF\xBE", 3), "++++"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base64Encode(c.bytes.data(), c.bytes.size()), c.text) << c.text;
        EXPECT_EQ(base64Decode(c.text), c.bytes) << c.text;
    }
}

TEST(OxBase64, DecodingStopsAtPaddingOrTheFirstForeignCharacter) {
    const struct {
        std::string text;
        std::string bytes;
    } cases[] = {
        {"Zm9vYmFy!!", "foobar"},
        {"Zm9v!Ym9v", "foo"},  // the rest is ignored whatever it holds
        {"Zm9v Ym9v", "foo"},  // whitespace is outside the alphabet too
        {"Zm9=Ym9v", "fo"},    // stops at the first '='
        {"Zm9", "fo"},         // three characters give two bytes
        {"Zg", "f"},           // two give one
        {"Z", ""},             // a single character gives nothing
        {"Zm9vZ", "foo"},
        {"\xE3\x81\x82Zm9v", ""},  // a byte above 0x7F is outside the alphabet
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base64Decode(c.text), c.bytes) << c.text;
    }
}

TEST(OxBase64, OnlyAlphabetCharactersAreBase64Characters) {
    for (const char c : kBase64Alphabet) EXPECT_TRUE(isBase64Char(c)) << c;
    for (const char c : std::string("=!- \n\0\x80\xFF", 8)) EXPECT_FALSE(isBase64Char(c)) << int(c);
}

}  // namespace
