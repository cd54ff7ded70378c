#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/system/shared_vector_ptr.h"

namespace {

using Orvex::System::shared_vector_ptr;

struct Item {
    explicit Item(int id) : id(id) {}
    void add(int amount) { total += amount; }
    int id;
    int total = 0;
};

std::vector<int> ids(const shared_vector_ptr<Item>& list) {
    std::vector<int> out;
    for (const auto& item : list) {
        out.push_back(item ? item->id : -1);
    }
    return out;
}

shared_vector_ptr<Item> makeList(int count) {
    shared_vector_ptr<Item> list;
    for (int id = 0; id < count; ++id) {
        list.push_back(std::make_shared<Item>(id));
    }
    return list;
}

TEST(SharedVectorPtr, InsertAcceptsIndicesUpToTheSize) {
    const struct {
        std::size_t index;
        bool accepted;
        std::vector<int> after;
    } cases[] = {
        {0, true, {9, 0, 1}}, {1, true, {0, 9, 1}},
        {2, true, {0, 1, 9}},  // at the size: appends
        {3, false, {0, 1}},   {static_cast<std::size_t>(-1), false, {0, 1}},
    };
    for (const auto& c : cases) {
        auto list = makeList(2);
        EXPECT_EQ(list.insert(c.index, std::make_shared<Item>(9)), c.accepted) << c.index;
        EXPECT_EQ(ids(list), c.after) << c.index;
    }
}

TEST(SharedVectorPtr, RemoveAtReturnsTheElementOrNothingOutOfRange) {
    auto list = makeList(3);
    const std::shared_ptr<Item> removed = list.removeAt(1);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->id, 1);
    EXPECT_EQ(ids(list), (std::vector<int>{0, 2}));
    for (std::size_t index : {std::size_t{2}, std::size_t{100}, static_cast<std::size_t>(-1)}) {
        EXPECT_EQ(list.removeAt(index), nullptr) << index;
    }
    EXPECT_EQ(ids(list), (std::vector<int>{0, 2}));
    EXPECT_EQ(list.at(1)->id, 2);
    EXPECT_EQ(list.at(2), nullptr);
}

TEST(SharedVectorPtr, RemoveTakesTheFirstEntryHoldingTheSameObject) {
    auto list = makeList(3);
    const std::shared_ptr<Item> twice = list.at(0);
    list.push_back(twice);
    EXPECT_TRUE(list.remove(twice));
    EXPECT_EQ(ids(list), (std::vector<int>{1, 2, 0}));
    // An equal-looking but different object is not there.
    EXPECT_FALSE(list.remove(std::make_shared<Item>(1)));
    EXPECT_EQ(list.size(), 3u);
}

TEST(SharedVectorPtr, ForEachCallsAMemberOnEveryElementInOrder) {
    auto list = makeList(3);
    list.push_back(nullptr);  // an empty entry has nothing to call
    list.forEach(&Item::add, 5);
    std::vector<int> order;
    list.forEach([&order](Item& item) { order.push_back(item.id); });
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list.at(i)->total, 5);
    }
}

TEST(SharedVectorPtr, DestructionAndClearReleaseTheElements) {
    std::weak_ptr<Item> watched;
    {
        auto list = makeList(2);
        watched = list.at(1);
        list.clear();
        EXPECT_TRUE(watched.expired());
        list.push_back(std::make_shared<Item>(4));
        watched = list.at(0);
    }
    EXPECT_TRUE(watched.expired());
}

}  // namespace
