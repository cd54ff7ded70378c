#include "game/dungeon/CShopInfo.h"

#include <gtest/gtest.h>

#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"
#include "tests/game/dungeon/DungeonTestServices.h"

namespace {

using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::CRoom;
using Fenwarrow::Dungeon::CShopInfo;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::Item::CItem;

// A 10 x 4 floor of Floor cells: a shop room over x 0..4, the rest corridor.
class Shop : public ::testing::Test {
protected:
    void SetUp() override {
        auto& map = floor_.getMap();
        ASSERT_TRUE(map.create(32, 10, 4));
        map.clearRoom();
        for (auto& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellFloor;
        }
        CRoom* room = map.addRoom(CRoom(0, 0, 4, 3));
        room->shop = std::make_shared<CShopInfo>(floor_);
        map.assignRoomCells();
        shop_ = floor_.getCurrentShopInfo();
        ASSERT_NE(shop_, nullptr);
    }

    std::shared_ptr<CItem> item(int32_t price, MapPoint point) {
        auto made = std::make_shared<CItem>(context_, 1);
        made->getStatus().setPrice(price);
        floor_.addFloorItem(made);
        EXPECT_TRUE(floor_.putCellObject(made.get(), point, false));
        return made;
    }

    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    CDungeon floor_{services_};
    CShopInfo* shop_ = nullptr;
};

TEST_F(Shop, EntryIdsGrowPastErasedOnesAndARefreshKeepsTheEntry) {
    auto a = item(100, {0, 0});
    auto b = item(200, {1, 0});
    auto c = item(300, {2, 0});
    for (const auto& goods : {a, b, c}) {
        shop_->addItem(goods.get());
    }
    EXPECT_EQ(c->getShopEntryID(), 2);
    EXPECT_EQ(shop_->eraseEntry(1), b.get());
    EXPECT_EQ(b->getShopEntryID(), -1);
    auto d = item(400, {3, 0});
    shop_->addItem(d.get());
    EXPECT_EQ(d->getShopEntryID(), 3);
    c->getStatus().setPrice(350);
    shop_->addItem(c.get());
    ASSERT_EQ(shop_->getEntries().size(), 3u);
    EXPECT_EQ(shop_->getEntries()[1].entryId, 2);
    EXPECT_EQ(shop_->getEntries()[1].price, 350);
    EXPECT_EQ(shop_->findEntryIndex(1), -1);

    CItem nowhere(context_, 1);
    shop_->addItem(&nowhere);
    EXPECT_EQ(shop_->getEntries().size(), 3u) << "an item on no cell is not offered";
}

TEST_F(Shop, TheOwedSumCountsGoodsGoneFromTheShopAndPriceFalls) {
    auto kept = item(100, {0, 0});
    auto cheaper = item(300, {1, 1});
    auto gone = item(500, {2, 2});
    for (const auto& goods : {kept, cheaper, gone}) {
        shop_->addItem(goods.get());
    }
    EXPECT_EQ(shop_->getTotalSellPrice(), 0);
    kept->getStatus().setPrice(150);                               // dearer now: nothing owed
    cheaper->getStatus().setPrice(250);                            // 50 owed
    ASSERT_TRUE(floor_.putCellObject(gone.get(), {8, 2}, false));  // carried out: 500 owed
    EXPECT_EQ(shop_->getTotalSellPrice(), 550);
}

TEST_F(Shop, GoodsInsideAContainerInTheShopAreFoundAndBought) {
    auto box = item(10, {1, 1});
    auto inner = std::make_shared<CItem>(context_, 2);
    inner->getStatus().setPrice(70);
    box->pushItemIntoItemList(inner);
    auto outside = item(1000, {7, 0});
    EXPECT_EQ(floor_.getShopTotalBuyPrice(), 80) << "the box and its content, nothing outside";
    shop_->addItem(inner.get());
    EXPECT_EQ(inner->getShopCell(), (MapPoint{1, 1})) << "a held item takes its holder's cell";
    EXPECT_EQ(shop_->findEntryItem(0), inner.get());
    EXPECT_EQ(floor_.getShopTotalBuyPrice(), 10);
    EXPECT_EQ(shop_->removeItem(inner.get()), inner.get());
    EXPECT_EQ(inner->getShopEntryID(), -1);
    EXPECT_EQ(shop_->removeItem(outside.get()), nullptr) << "not a shop item";
}

}  // namespace
