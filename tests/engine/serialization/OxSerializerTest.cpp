#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "engine/serialization/IOrvexSerializeObject.h"
#include "engine/serialization/OxSerializer.h"

namespace {

using Orvex::Serialization::IOrvexSerializeObject;
using Orvex::Serialization::OxSerializer;
using Bytes = std::vector<uint8_t>;

struct EncodingCase {
    const char* name;
    std::function<void(OxSerializer&)> write;
    Bytes expected;
};

TEST(OxSerializer, PrimitivesWriteTheirExactBytes) {
    const EncodingCase cases[] = {
        {"int 1", [](OxSerializer& s) { s.write32(int32_t{1}); }, {0x01, 0x00, 0x00, 0x00}},
        {"int -2", [](OxSerializer& s) { s.write32(int32_t{-2}); }, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"uint", [](OxSerializer& s) { s.write32(uint32_t{0x12345678}); }, {0x78, 0x56, 0x34, 0x12}},
        {"float 1.0", [](OxSerializer& s) { s.write32(1.0f); }, {0x00, 0x00, 0x80, 0x3F}},
        {"byte", [](OxSerializer& s) { s.writeByte(0xAB); }, {0xAB}},
        {"16-bit", [](OxSerializer& s) { s.write16(0xBEEF); }, {0xEF, 0xBE}},
        {"string abc",
         [](OxSerializer& s) {
             std::string v = "abc";
             s.serializeString(v);
         },
         {0x61, 0x62, 0x63, 0x00}},
        {"empty string",
         [](OxSerializer& s) {
             std::string v;
             s.serializeString(v);
         },
         {0x00}},
        {"wide A",
         [](OxSerializer& s) {
             std::u16string v = u"A";
             s.serializeWString(v);
         },
         {0x41, 0x00, 0x00, 0x00}},
        {"empty wide",
         [](OxSerializer& s) {
             std::u16string v;
             s.serializeWString(v);
         },
         {0x00, 0x00}},
        {"wide kana",
         [](OxSerializer& s) {
             std::u16string v = u"あ";
             s.serializeWString(v);
         },
         {0x42, 0x30, 0x00, 0x00}},
        {"bool vector",
         [](OxSerializer& s) {
             std::vector<bool> v{true, false, true};
             s.serializeBoolVector(v);
         },
         {0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01}},
        {"empty bool vector",
         [](OxSerializer& s) {
             std::vector<bool> v;
             s.serializeBoolVector(v);
         },
         {0x00, 0x00, 0x00, 0x00}},
        // A string holding a 0 is cut there, so that its reader stays aligned with the stream.
        {"string with 0", [](OxSerializer& s) { s.writeString(std::string("a\0b", 3)); }, {0x61, 0x00}},
        {"wide with 0", [](OxSerializer& s) { s.writeWString(std::u16string(u"a\0b", 3)); }, {0x61, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        OxSerializer s;
        c.write(s);
        EXPECT_EQ(s.getBuffer(), c.expected) << c.name;
        EXPECT_EQ(s.getPosition(), c.expected.size()) << c.name;
    }
}

// A record with every primitive, written and read by one symmetric serialize.
struct Record : IOrvexSerializeObject {
    uint8_t flag = 0;
    int32_t count = 0;
    uint32_t mask = 0;
    float ratio = 0.0f;
    float nan = 0.0f;
    std::string narrow;
    std::u16string wide;
    std::vector<bool> seen;
    uint8_t header[16] = {};
    uint8_t block[56] = {};

    bool serialize(OxSerializer& s) override {
        if (s.isWriting()) {
            s.writeByte(flag);
            s.write32(count);
            s.write32(mask);
            s.write32(ratio);
            s.write32(nan);
            s.write16Bytes(header);
            s.writeBlock(block, sizeof block);
        } else {
            s.readByte(flag);
            s.read32(count);
            s.read32(mask);
            s.read32(ratio);
            s.read32(nan);
            s.read16Bytes(header);
            s.readBlock(block, sizeof block);
        }
        s.serializeString(narrow);
        s.serializeWString(wide);
        s.serializeBoolVector(seen);
        return !s.hasReadFailed();
    }
};

TEST(OxSerializer, EveryPrimitiveRoundTrips) {
    Record out;
    out.flag = 0xFF;
    out.count = std::numeric_limits<int32_t>::min();
    out.mask = 0xDEADBEEF;
    out.ratio = -0.125f;
    const uint32_t nanBits = 0x7FC01234;  // a payload that a float conversion would lose
    std::memcpy(&out.nan, &nanBits, sizeof nanBits);
    out.narrow = "Script/Menu/DemoTitle.lua";
    out.wide = u"ダンジョン\U0001F600 floor";
    out.seen = {true, true, false, true, false, false, false, true, true};
    for (int i = 0; i < 16; ++i) out.header[i] = static_cast<uint8_t>(i * 17);
    for (int i = 0; i < 56; ++i) out.block[i] = static_cast<uint8_t>(255 - i);

    OxSerializer s;
    ASSERT_TRUE(out.serialize(s));
    const uint32_t written = s.getPosition();
    s.setWriting(false);
    EXPECT_EQ(s.getPosition(), 0u);

    Record in;
    ASSERT_TRUE(in.serialize(s));
    EXPECT_EQ(s.getPosition(), written);
    EXPECT_EQ(s.getRemaining(), 0u);
    EXPECT_EQ(in.flag, out.flag);
    EXPECT_EQ(in.count, out.count);
    EXPECT_EQ(in.mask, out.mask);
    EXPECT_EQ(in.ratio, out.ratio);
    uint32_t inNanBits = 0;
    std::memcpy(&inNanBits, &in.nan, sizeof inNanBits);
    EXPECT_EQ(inNanBits, nanBits);
    EXPECT_EQ(in.narrow, out.narrow);
    EXPECT_EQ(in.wide, out.wide);
    EXPECT_EQ(in.seen, out.seen);
    EXPECT_EQ(0, std::memcmp(in.header, out.header, sizeof in.header));
    EXPECT_EQ(0, std::memcmp(in.block, out.block, sizeof in.block));
}

TEST(OxSerializer, PositionDirectionAndAssign) {
    OxSerializer s;
    EXPECT_TRUE(s.isWriting());
    for (uint8_t i = 0; i < 10; ++i) s.writeByte(i);
    EXPECT_EQ(s.getPosition(), 10u);

    // A copy of a writer keeps writing, with its cursor at the end of the copied bytes.
    OxSerializer copy;
    copy.assign(s);
    EXPECT_TRUE(copy.isWriting());
    EXPECT_EQ(copy.getPosition(), 10u);
    EXPECT_EQ(copy.getBuffer(), s.getBuffer());

    s.setWriting(false);
    uint8_t b = 0;
    ASSERT_TRUE(s.readByte(b));
    ASSERT_TRUE(s.readByte(b));
    EXPECT_EQ(b, 1);
    EXPECT_EQ(s.getPosition(), 2u);

    // A copy of a reader goes on from the same place.
    OxSerializer reader(s);
    EXPECT_FALSE(reader.isWriting());
    ASSERT_TRUE(reader.readByte(b));
    EXPECT_EQ(b, 2);

    s.setWriting(true);  // starts a new stream
    EXPECT_TRUE(s.getBuffer().empty());
    EXPECT_EQ(s.getPosition(), 0u);

    reader.clear();
    EXPECT_TRUE(reader.isWriting());
    EXPECT_TRUE(reader.getBuffer().empty());
}

OxSerializer readerOver(const Bytes& bytes) {
    OxSerializer s;
    s.setWriting(false);
    s.getBuffer() = bytes;
    return s;
}

struct DamageCase {
    const char* name;
    Bytes stream;
    // Reads one value into a destination pre-filled with garbage; returns the read's result and
    // whether the destination was left zero / empty.
    std::function<std::pair<bool, bool>(OxSerializer&)> read;
};

TEST(OxSerializer, DamagedStreamsAreRefusedWithZeroedDestinations) {
    const DamageCase cases[] = {
        {"byte on empty",
         {},
         [](OxSerializer& s) {
             uint8_t v = 7;
             bool ok = s.readByte(v);
             return std::pair{ok, v == 0};
         }},
        {"32 truncated",
         {1, 2, 3},
         [](OxSerializer& s) {
             int32_t v = 7;
             bool ok = s.read32(v);
             return std::pair{ok, v == 0};
         }},
        {"float truncated",
         {1},
         [](OxSerializer& s) {
             float v = 7;
             bool ok = s.read32(v);
             return std::pair{ok, v == 0.0f};
         }},
        {"block past end", Bytes(15, 9),
         [](OxSerializer& s) {
             uint8_t v[16];
             std::memset(v, 7, sizeof v);
             bool ok = s.read16Bytes(v);
             return std::pair{ok, v[0] == 0 && v[15] == 0};
         }},
        {"string without terminator",
         {'a', 'b', 'c'},
         [](OxSerializer& s) {
             std::string v = "x";
             bool ok = s.serializeString(v);
             return std::pair{ok, v.empty()};
         }},
        {"string on empty",
         {},
         [](OxSerializer& s) {
             std::string v = "x";
             bool ok = s.readString(v);
             return std::pair{ok, v.empty()};
         }},
        {"wide without terminator",
         {'a', 0, 'b', 0},
         [](OxSerializer& s) {
             std::u16string v = u"x";
             bool ok = s.serializeWString(v);
             return std::pair{ok, v.empty()};
         }},
        {"wide with odd tail",
         {'a', 0, 0},
         [](OxSerializer& s) {
             std::u16string v = u"x";
             bool ok = s.readWString(v);
             return std::pair{ok, v.empty()};
         }},
        {"bool vector huge count",
         {0xFF, 0xFF, 0xFF, 0xFF, 1, 0},
         [](OxSerializer& s) {
             std::vector<bool> v{true};
             bool ok = s.serializeBoolVector(v);
             return std::pair{ok, v.empty()};
         }},
        {"bool vector one short",
         {3, 0, 0, 0, 1, 0},
         [](OxSerializer& s) {
             std::vector<bool> v{true};
             bool ok = s.serializeBoolVector(v);
             return std::pair{ok, v.empty()};
         }},
        {"count times element size",
         {2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7},
         [](OxSerializer& s) {
             uint32_t v = 7;
             bool ok = s.readCount(v, 4);
             return std::pair{ok, v == 0};
         }},
        {"bytes in place past end",
         {1, 2, 3},
         [](OxSerializer& s) {
             const uint8_t* v = s.readBytesInPlace(4);
             return std::pair{v != nullptr, v == nullptr};
         }},
        {"count product past 32 bits",
         {0x00, 0x00, 0x00, 0x40, 1, 2, 3, 4},
         [](OxSerializer& s) {
             uint32_t v = 7;
             bool ok = s.readCount(v, 8);
             return std::pair{ok, v == 0};
         }},
    };
    for (const auto& c : cases) {
        OxSerializer s = readerOver(c.stream);
        const auto [ok, zeroed] = c.read(s);
        EXPECT_FALSE(ok) << c.name;
        EXPECT_TRUE(zeroed) << c.name;
        EXPECT_TRUE(s.hasReadFailed()) << c.name;
        EXPECT_LE(s.getPosition(), c.stream.size()) << c.name;
    }
}

TEST(OxSerializer, ReadFailureIsStickyUntilRewound) {
    OxSerializer s = readerOver({0x41, 0x00, 0x00, 0x00, 0x05});
    int32_t value = 0;
    ASSERT_TRUE(s.read32(value));
    EXPECT_EQ(value, 0x41);
    ASSERT_FALSE(s.read32(value));  // only one byte left
    // The byte is there, but the stream is already known to be damaged.
    uint8_t b = 9;
    EXPECT_FALSE(s.readByte(b));
    EXPECT_EQ(b, 0);
    EXPECT_TRUE(s.hasReadFailed());

    s.setWriting(false);  // rewinding starts a fresh read
    EXPECT_FALSE(s.hasReadFailed());
    ASSERT_TRUE(s.read32(value));
    ASSERT_TRUE(s.readByte(b));
    EXPECT_EQ(b, 5);
}

TEST(OxSerializer, CountsThatFitAreAcceptedAndReadsWhileWritingAreRefused) {
    OxSerializer s = readerOver({2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    uint32_t count = 0;
    ASSERT_TRUE(s.readCount(count, 4));  // exactly the 8 bytes left
    EXPECT_EQ(count, 2u);

    OxSerializer writer;
    writer.write32(uint32_t{1});
    uint32_t v = 7;
    EXPECT_FALSE(writer.read32(v));
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(writer.getPosition(), 4u);
}

TEST(OxSerializer, BytesReadInPlaceAreTheStreamsAndMoveTheCursor) {
    OxSerializer s = readerOver({1, 2, 3, 4, 5});
    uint8_t b = 0;
    ASSERT_TRUE(s.readByte(b));
    const uint8_t* bytes = s.readBytesInPlace(3);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{2, 3, 4}));
    EXPECT_EQ(s.getPosition(), 4u);
    ASSERT_TRUE(s.readByte(b));
    EXPECT_EQ(b, 5);
}

TEST(OxSerializer, EmbeddedZeroKeepsTheNextFieldReadable) {
    OxSerializer s;
    s.writeString(std::string("ab\0cd", 5));
    s.write32(uint32_t{42});
    s.setWriting(false);
    std::string text;
    uint32_t after = 0;
    ASSERT_TRUE(s.readString(text));
    ASSERT_TRUE(s.read32(after));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(after, 42u);
}

}  // namespace
