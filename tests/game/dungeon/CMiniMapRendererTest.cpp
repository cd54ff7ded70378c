// The mini-map over a real floor: where it sits, which icon each cell shows under the amulet and
// confusion, and what it queues.
#include "game/dungeon/CMiniMapRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/game/dungeon/RendererTestFloor.h"

namespace {

using namespace RendererTest;
using Fenwarrow::Item::CItem;
using Orvex::Graphics::Testing::DrawCall;

class MiniMap : public RendererFloor {
protected:
    CMiniMapRenderer& miniMap() { return floor_->getMiniMapRenderer(); }

    CItem* item(MapPoint at, bool mapped, int32_t category = 0, int32_t state = 0) {
        CItem* made = itemAt(at);
        made->setItemType(category);
        made->getStatus().setAnotherOption(state);
        floor_->getMap().getCell(at)->tracked = mapped;
        return made;
    }
    Fenwarrow::Actor::CActor* enemy(MapPoint at, bool shown) {
        Fenwarrow::Actor::CActor* made = enemyAt(at);
        made->getStatus().setShown(shown);
        return made;
    }
    int32_t iconAt(MapPoint at, bool amulet, bool confused) {
        return miniMap().chooseIcon(*floor_->getMap().getCell(at), CMiniMapRenderer::Switches{amulet, confused});
    }
};

TEST_F(MiniMap, TheMapIsCentredOnTheScreen) {
    struct Case {
        int32_t width, height, x, y;
    };
    for (const Case c : {Case{40, 30, 200, 150}, Case{100, 70, -100, -50}, Case{7, 5, 365, 275}}) {
        buildOpen(c.width, c.height);
        miniMap().create();
        EXPECT_EQ(miniMap().getOriginX(), c.x) << c.width;
        EXPECT_EQ(miniMap().getOriginY(), c.y) << c.width;
        EXPECT_NE(miniMap().getTexture(), nullptr);
    }
}

TEST_F(MiniMap, EachCellShowsTheIconItsObjectsAllow) {
    // The player's room reaches column 3; its sight ends at column 4.
    build({"............", "............", "............"}, {CRoom(0, 0, 3, 2)});
    ASSERT_TRUE(floor_->putCellObject(player_, {1, 1}, false));
    miniMap().create();
    item({0, 0}, true);
    item({2, 0}, true, 12);
    item({3, 0}, true, 0, 1);
    enemy({2, 1}, true);
    enemy({6, 0}, true);
    enemy({7, 0}, false);  // an actor first, not shown, then an item
    item({7, 0}, true);
    item({8, 0}, true);  // an item first, then an actor not shown
    enemy({8, 0}, false);
    item({9, 0}, false);
    item({10, 0}, false, 12);
    item({11, 0}, false, 0, 2);
    CItem* unseen = item({7, 1}, true);
    unseen->setVisible(false);

    struct Case {
        MapPoint at;
        const char* what;
        int32_t plain, amulet, confused;
    };
    const Case cases[] = {
        {{0, 0}, "an item on a mapped cell", 4, 4, 4},
        {{2, 0}, "a trap", 5, 5, 4},
        {{3, 0}, "an item with a state", 6, 6, 4},
        {{1, 1}, "the player", 1, 1, 2},
        {{2, 1}, "an enemy in sight", 2, 2, 2},
        {{6, 0}, "an enemy out of sight", 0, 2, 0},
        {{7, 0}, "a hidden actor ends the search", 0, 0, 0},
        {{8, 0}, "an item before a hidden actor", 4, 4, 4},
        {{9, 0}, "an item on an unmapped cell", 0, 4, 0},
        {{10, 0}, "a trap on an unmapped cell", 0, 0, 0},
        {{11, 0}, "an item with a state on an unmapped cell", 0, 0, 0},
        {{6, 1}, "an empty unmapped cell", 0, 0, 0},
        {{7, 1}, "a hidden item on a mapped cell", 0, 4, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(iconAt(c.at, false, false), c.plain) << c.what;
        EXPECT_EQ(iconAt(c.at, true, false), c.amulet) << c.what;
        EXPECT_EQ(iconAt(c.at, false, true), c.confused) << c.what;
    }
    // A player who sees every item of the mapped cells.
    player_->getStatus().setStabilityState(0, true);
    EXPECT_EQ(iconAt({7, 1}, false, false), 4);
}

TEST_F(MiniMap, TheEquippedAmuletOfMappingTurnsTheAmuletSwitchOn) {
    buildOpen(4, 4);
    miniMap().create();
    EXPECT_FALSE(miniMap().takeSwitches().amulet);
    auto amulet = std::make_shared<CItem>(context_, 120);
    amulet->setItemType(CItem::kAmulet);
    amulet->getStatus().setSlotCount(2);
    player_->addItem(amulet);
    ASSERT_GE(gameData_->setEquippedAmuletItem(amulet.get()), 0);
    EXPECT_FALSE(miniMap().takeSwitches().amulet);
    amulet->getStatus().setSlotAbility(1, 1);
    EXPECT_TRUE(miniMap().takeSwitches().amulet);
}

TEST_F(MiniMap, DrawsMappedSquaresIconsAndTheDarkenedScreenBehind) {
    build({"....", "...."}, {CRoom(0, 0, 3, 1)});
    ASSERT_TRUE(floor_->putCellObject(player_, {1, 0}, false));
    miniMap().create();  // origin (380, 290)
    floor_->getMap().getCell({0, 0})->tracked = true;
    floor_->getMap().getCell({1, 0})->tracked = true;
    miniMap().setOffset(5.0f, -2.0f);

    miniMap().draw();
    EXPECT_EQ(services_.queue.size(), 1u);  // the map alone
    runQueue();
    ASSERT_EQ(sprite_.calls.size(), 3u);  // two squares and the player's icon
    EXPECT_EQ(sprite_.calls[0].destination.left, 385.0f);
    EXPECT_EQ(sprite_.calls[0].destination.top, 288.0f);
    EXPECT_EQ(sprite_.calls[0].source.left, 0.0f);
    EXPECT_EQ(sprite_.calls[2].destination.left, 395.0f);
    EXPECT_EQ(sprite_.calls[2].source.left, 10.0f);
    EXPECT_EQ(sprite_.calls[2].source.right, 20.0f);

    // The full-screen view: the screen darkened first, under the map; hidden icons this frame.
    sprite_.calls.clear();
    miniMap().setBackgroundShown(true);
    miniMap().setForceHideAllCellObject(true);
    miniMap().draw();
    EXPECT_EQ(services_.queue.size(), 2u);
    runQueue();
    ASSERT_EQ(sprite_.calls.size(), 3u);
    EXPECT_TRUE(sprite_.calls[0].fill);
    EXPECT_EQ(sprite_.calls[0].destination.right, 800.0f);
    EXPECT_EQ(sprite_.calls[0].destination.bottom, 600.0f);
    EXPECT_FLOAT_EQ(sprite_.calls[0].colour[3], 0.8f);
    EXPECT_EQ(sprite_.calls[1].source.left, 0.0f);
    EXPECT_EQ(sprite_.calls[2].source.left, 0.0f);

    // The hide switch lasts one frame.
    miniMap().resetFlags();
    EXPECT_FALSE(miniMap().getForceHideAllCellObject());
}

}  // namespace
