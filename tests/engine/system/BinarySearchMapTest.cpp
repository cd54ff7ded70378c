#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/system/binary_search_map.h"

namespace {

using Orvex::System::binary_search_map;

template <typename K, typename V>
std::vector<std::pair<K, V>> entries(const binary_search_map<K, V>& map) {
    std::vector<std::pair<K, V>> out;
    for (const auto& node : map) {
        out.emplace_back(node.key, node.value);
    }
    return out;
}

TEST(BinarySearchMap, InsertsInKeyOrderAndDoublesCapacityFromOne) {
    binary_search_map<int, std::string> map;
    EXPECT_EQ(map.capacity(), 0);
    const struct {
        int key;
        int count;
        int capacity;
    } steps[] = {{3, 1, 1}, {1, 2, 2}, {2, 3, 4}, {0, 4, 4}, {9, 5, 8}};
    for (const auto& step : steps) {
        map.insertOrAssign(step.key, "v" + std::to_string(step.key));
        EXPECT_EQ(map.count(), step.count) << step.key;
        EXPECT_EQ(map.capacity(), step.capacity) << step.key;
    }
    const std::vector<std::pair<int, std::string>> expected = {{0, "v0"}, {1, "v1"}, {2, "v2"}, {3, "v3"}, {9, "v9"}};
    EXPECT_EQ(entries(map), expected);
}

TEST(BinarySearchMap, AnEqualKeyGetsTheNewValueWithoutANewNode) {
    binary_search_map<int, int> map;
    for (int key : {3, 1, 2}) {
        map.insertOrAssign(key, key * 10);
    }
    int& value = map.insertOrAssign(2, 99);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(map.count(), 3);
    EXPECT_EQ(map.capacity(), 4);
    ASSERT_NE(map.find(2), nullptr);
    EXPECT_EQ(*map.find(2), 99);
    const std::vector<std::pair<int, int>> expected = {{1, 10}, {2, 99}, {3, 30}};
    EXPECT_EQ(entries(map), expected);
}

TEST(BinarySearchMap, FindsEveryKeyAndNothingElse) {
    binary_search_map<std::u16string, int> map;
    const std::u16string keys[] = {
        u"Font\\a.fnt", u"BGM\\01.ogg", u"Script\\Main.lua", u"", u"BGM\\00.ogg", u"\u30c6\u30b9\u30c8", u"z"};
    int value = 0;
    for (const auto& key : keys) {
        map.insertOrAssign(key, value++);
    }
    value = 0;
    for (const auto& key : keys) {
        const int* found = map.find(key);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(*found, value++);
    }
    for (const std::u16string missing : {u"A", u"BGM\\02.ogg", u"zz", u"Font"}) {
        EXPECT_EQ(map.find(missing), nullptr);
    }
    const auto& constMap = map;
    EXPECT_EQ(*constMap.find(std::u16string(u"z")), 6);
    const binary_search_map<int, int> empty;
    EXPECT_EQ(empty.find(0), nullptr);
}

TEST(BinarySearchMap, ReserveKeepsEntriesAndReusesSpareNodes) {
    binary_search_map<int, int> map;
    map.insertOrAssign(5, 50);
    map.reserve(6);
    EXPECT_EQ(map.capacity(), 6);
    map.reserve(2);  // never shrinks
    EXPECT_EQ(map.capacity(), 6);
    for (int key : {4, 6, 1, 3, 2}) {
        map.insertOrAssign(key, key * 10);
    }
    EXPECT_EQ(map.count(), 6);
    EXPECT_EQ(map.capacity(), 6);  // filled from the spares, no growth
    map.insertOrAssign(0, 0);
    EXPECT_EQ(map.capacity(), 12);
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}, {6, 60}};
    EXPECT_EQ(entries(map), expected);
}

TEST(BinarySearchMap, ClearDropsEverythingAndTheMapIsUsableAgain) {
    binary_search_map<int, int> map;
    for (int key = 0; key < 5; ++key) {
        map.insertOrAssign(key, key);
    }
    map.clear();
    EXPECT_EQ(map.count(), 0);
    EXPECT_EQ(map.capacity(), 0);
    EXPECT_EQ(map.find(3), nullptr);
    EXPECT_EQ(map.begin(), map.end());
    map.insertOrAssign(7, 70);
    EXPECT_EQ(map.capacity(), 1);
    EXPECT_EQ(*map.find(7), 70);

    binary_search_map<int, int> moved(std::move(map));
    EXPECT_EQ(*moved.find(7), 70);
    EXPECT_EQ(map.count(), 0);  // NOLINT: a moved-from map is empty and usable
    EXPECT_EQ(map.find(7), nullptr);
}

TEST(BinarySearchMap, ValuesCanBeChangedThroughIteration) {
    binary_search_map<int, int> map;
    for (int key : {2, 1}) {
        map.insertOrAssign(key, 0);
    }
    for (auto& node : map) {
        node.value = node.key * 100;
    }
    EXPECT_EQ(*map.find(1), 100);
    EXPECT_EQ(*map.find(2), 200);
    EXPECT_EQ(map.end() - map.begin(), 2);
}

TEST(BinarySearchMap, EraseKeepsTheOrderAndReusesTheNode) {
    binary_search_map<int, std::string> map;
    for (int key : {5, 1, 3, 7}) {
        map.insertOrAssign(key, std::to_string(key));
    }
    EXPECT_FALSE(map.erase(4));
    EXPECT_TRUE(map.erase(3));
    EXPECT_FALSE(map.erase(3));
    EXPECT_EQ(map.find(3), nullptr);
    EXPECT_EQ(entries(map), (std::vector<std::pair<int, std::string>>{{1, "1"}, {5, "5"}, {7, "7"}}));
    EXPECT_TRUE(map.erase(7));
    EXPECT_TRUE(map.erase(1));
    EXPECT_EQ(entries(map), (std::vector<std::pair<int, std::string>>{{5, "5"}}));
    // The freed nodes are spares: refilling to the old size needs no new slot.
    map.insertOrAssign(2, "2");
    map.insertOrAssign(9, "9");
    map.insertOrAssign(0, "0");
    EXPECT_EQ(map.capacity(), 4);
    EXPECT_EQ(entries(map), (std::vector<std::pair<int, std::string>>{{0, "0"}, {2, "2"}, {5, "5"}, {9, "9"}}));
}

}  // namespace
