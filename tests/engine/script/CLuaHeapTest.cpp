#include "engine/script/CLuaHeap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <lua.hpp>

namespace Orvex::Script {
namespace {

void* call(CLuaHeap& heap, void* block, std::size_t oldSize, std::size_t newSize) {
    return CLuaHeap::allocate(&heap, block, oldSize, newSize);
}

void fill(void* block, std::size_t size, uint8_t seed) {
    auto* bytes = static_cast<uint8_t*>(block);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    }
}

bool holds(const void* block, std::size_t size, uint8_t seed) {
    const auto* bytes = static_cast<const uint8_t*>(block);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != static_cast<uint8_t>(seed + i * 7)) {
            return false;
        }
    }
    return true;
}

// Blocks keep their bytes through every kind of resize: the last block of the area grown in
// place, one inside it moved, one moved out of the area when the area is full, one from the C
// library grown; a shrink keeps the block.
TEST(CLuaHeapTest, ResizedBlocksKeepTheirBytes) {
    CLuaHeap heap;
    void* first = call(heap, nullptr, 0, 100);
    void* last = call(heap, nullptr, 0, 200);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 16, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(last) % 16, 0u);
    fill(first, 100, 1);
    fill(last, 200, 2);

    void* grown = call(heap, last, 200, 4000);
    EXPECT_EQ(grown, last) << "the last block grows where it is";
    EXPECT_TRUE(holds(grown, 200, 2));

    void* moved = call(heap, first, 100, 300);
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(moved, first);
    EXPECT_TRUE(holds(moved, 100, 1));
    EXPECT_TRUE(holds(grown, 200, 2)) << "moving one block leaves the others alone";

    EXPECT_EQ(call(heap, moved, 300, 50), moved);
    EXPECT_TRUE(holds(moved, 50, 1));

    // Past the area: the block leaves it and still holds its bytes.
    void* large = call(heap, grown, 4000, CLuaHeap::kAreaBytes * 2);
    ASSERT_NE(large, nullptr);
    EXPECT_TRUE(holds(large, 200, 2));
    fill(large, CLuaHeap::kAreaBytes * 2, 3);
    void* larger = call(heap, large, CLuaHeap::kAreaBytes * 2, CLuaHeap::kAreaBytes * 3);
    ASSERT_NE(larger, nullptr);
    EXPECT_TRUE(holds(larger, CLuaHeap::kAreaBytes * 2, 3));

    EXPECT_EQ(call(heap, larger, CLuaHeap::kAreaBytes * 3, 0), nullptr);
    EXPECT_EQ(call(heap, moved, 50, 0), nullptr);
    EXPECT_EQ(call(heap, nullptr, 0, 0), nullptr);
}

// The last block freed is taken back, so a block made and freed over and over does not use the
// area up; no block larger than the cap is given.
TEST(CLuaHeapTest, TheLastBlockFreedIsTakenBackAndHugeBlocksAreRefused) {
    CLuaHeap heap;
    call(heap, nullptr, 0, 64);
    const std::size_t before = heap.used();
    for (int i = 0; i < 10000; ++i) {
        void* block = call(heap, nullptr, 0, 1000);
        ASSERT_NE(block, nullptr);
        call(heap, block, 1000, 0);
    }
    EXPECT_EQ(heap.used(), before);
    EXPECT_EQ(call(heap, nullptr, 0, CLuaHeap::kLargestBlock + 1), nullptr);
    void* block = call(heap, nullptr, 0, 16);
    EXPECT_EQ(call(heap, block, 16, CLuaHeap::kLargestBlock + 1), nullptr);
    call(heap, block, 16, 0);
}

// A state that makes far more than the area holds, with garbage collected on the way, runs and
// closes cleanly.
TEST(CLuaHeapTest, AStateOutgrowsTheAreaAndCloses) {
    CLuaHeap heap;
    lua_State* L = lua_newstate(&CLuaHeap::allocate, &heap);
    ASSERT_NE(L, nullptr);
    luaL_openlibs(L);
    const char* script = R"lua(
        local kept = {}
        for i = 1, 20000 do
            local s = string.rep("x", i % 300) .. i
            if i % 10 == 0 then kept[#kept + 1] = s end
        end
        collectgarbage()
        total = 0
        for _, s in ipairs(kept) do total = total + #s end
    )lua";
    ASSERT_EQ(luaL_dostring(L, script), 0) << lua_tostring(L, -1);
    lua_getglobal(L, "total");
    double expected = 0;
    for (int i = 10; i <= 20000; i += 10) {
        expected += i % 300 + static_cast<int>(std::to_string(i).size());
    }
    EXPECT_EQ(lua_tonumber(L, -1), expected);
    lua_close(L);
}

}  // namespace
}  // namespace Orvex::Script
