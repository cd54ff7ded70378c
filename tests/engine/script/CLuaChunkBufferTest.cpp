#include "engine/script/CLuaChunkBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "platform/kernel/DebugOutput.h"

namespace Orvex::Script {
namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string textOf(const CLuaChunk* r) { return std::string(reinterpret_cast<const char*>(r->data), r->size); }

class CLuaChunkBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::Kernel::setDebugSink(
            [this](std::u16string_view line) { debugLines.push_back(System::narrow(line)); });
    }
    void TearDown() override { Platform::Kernel::setDebugSink({}); }

    CLuaChunk* add(CLuaChunkBuffer& buffer, const char* name, const std::string& text) {
        const std::vector<uint8_t> bytes = bytesOf(text);
        return buffer.addChunk(name, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    std::vector<std::string> debugLines;
};

// The area is guarded by sentinel bytes on both sides: nothing may be written past the budget.
TEST_F(CLuaChunkBufferTest, ChunksOverTheBudgetLiveOutsideTheArea) {
    std::vector<uint8_t> memory(4 + 10 + 4, 0xEE);
    uint8_t* area = memory.data() + 4;
    CLuaChunkBuffer buffer(area, 10);

    struct Case {
        const char* text;
        bool external;
        uint32_t usedAfter;
    };
    const Case cases[] = {
        {"abcdef", false, 6},       // fits
        {"0123456789ab", true, 6},  // larger than the whole area
        {"ghij", false, 10},        // exactly fills what is left
        {"k", true, 10},            // the area is full
    };
    for (const Case& c : cases) {
        debugLines.clear();
        CLuaChunk* r = add(buffer, "m", c.text);
        ASSERT_NE(r, nullptr) << c.text;
        EXPECT_EQ(r->external, c.external) << c.text;
        EXPECT_EQ(textOf(r), c.text);
        EXPECT_EQ(buffer.used(), c.usedAfter) << c.text;
        const bool inArea = r->data >= area && r->data < area + 10;
        EXPECT_EQ(inArea, !c.external) << c.text;
        EXPECT_EQ(debugLines,
                  c.external ? std::vector<std::string>{"LuaChunk buffer short."} : std::vector<std::string>{})
            << c.text;
    }
    for (size_t i : {0u, 1u, 2u, 3u, 14u, 15u, 16u, 17u}) {
        EXPECT_EQ(memory[i], 0xEE) << "guard byte " << i;
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(area), 10), "abcdefghij");
    buffer.removeByName("m");  // frees the external blocks as well (the sanitizer build checks)
    EXPECT_EQ(buffer.head(), nullptr);
    EXPECT_EQ(buffer.used(), 0u);
}

TEST_F(CLuaChunkBufferTest, RemovingARecordClosesTheGap) {
    std::vector<uint8_t> area(16, 0);
    CLuaChunkBuffer buffer(area.data(), 16);
    CLuaChunk* a = add(buffer, "a", "AAA");
    CLuaChunk* b = add(buffer, "b", "BB");
    CLuaChunk* x = add(buffer, "x", std::string(20, 'X'));  // external, between the in-area ones
    CLuaChunk* c = add(buffer, "c", "CCCC");
    ASSERT_TRUE(a && b && x && c);
    ASSERT_TRUE(x->external);

    buffer.removeRecord(a);
    EXPECT_EQ(buffer.head(), b);
    EXPECT_EQ(b->data, area.data());
    EXPECT_EQ(c->data, area.data() + 2);
    EXPECT_EQ(textOf(b), "BB");
    EXPECT_EQ(textOf(c), "CCCC");
    EXPECT_EQ(textOf(x), std::string(20, 'X'));
    EXPECT_EQ(buffer.used(), 6u);
    EXPECT_TRUE(std::all_of(area.begin() + 6, area.end(), [](uint8_t v) { return v == 0; }));

    // The freed room is used again from the new end.
    CLuaChunk* d = add(buffer, "d", "DDD");
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->external);
    EXPECT_EQ(d->data, area.data() + 6);
}

TEST_F(CLuaChunkBufferTest, FindRemoveByNameAndNames) {
    std::vector<uint8_t> area(32, 0);
    CLuaChunkBuffer buffer(area.data(), 32);
    CLuaChunk* first = add(buffer, "s", "1");
    add(buffer, "t", "2");
    add(buffer, "s", "3");
    EXPECT_EQ(buffer.find("s"), first);
    EXPECT_EQ(buffer.find("S"), nullptr);
    EXPECT_EQ(buffer.find("missing"), nullptr);

    buffer.removeByName("s");
    EXPECT_EQ(buffer.find("s"), nullptr);
    ASSERT_NE(buffer.find("t"), nullptr);
    EXPECT_EQ(textOf(buffer.find("t")), "2");
    EXPECT_EQ(buffer.used(), 1u);

    const std::string longest(63, 'n');
    EXPECT_NE(add(buffer, longest.c_str(), "x"), nullptr);
    EXPECT_NE(buffer.find(longest.c_str()), nullptr);
    const std::string tooLong(64, 'n');
    EXPECT_EQ(add(buffer, tooLong.c_str(), "x"), nullptr);
    EXPECT_EQ(buffer.used(), 2u);

    buffer.clear();
    EXPECT_EQ(buffer.head(), nullptr);
    EXPECT_EQ(buffer.used(), 0u);
    EXPECT_TRUE(std::all_of(area.begin(), area.end(), [](uint8_t v) { return v == 0; }));
}

}  // namespace
}  // namespace Orvex::Script
