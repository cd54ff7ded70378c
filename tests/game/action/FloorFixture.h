#pragma once
// A small real floor for the actions: a 40 x 12 map of Floor cells (32-pixel cells, a wall
// column at x = 20) with the player at (2, 5), the floor's log and turn order, and the real
// action manager of ActionFixture. The player's sight reaches 13 cells across and 10 down.
#include <memory>
#include <string>

#include "engine/input/OxVirtualKey.h"
#include "game/actor/CEnemy.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"
#include "tests/game/action/ActionFixture.h"
#include "tests/game/dungeon/DungeonTestServices.h"

namespace ActionTest {

class FloorFixture : public ActionFixture {
protected:
    static constexpr uint32_t kCellSize = 32;
    static constexpr Fenwarrow::Dungeon::MapPoint kPlayerPoint{2, 5};

    void SetUp() override {
        ActionFixture::SetUp();
        services_ = std::make_unique<DungeonTest::TestDungeonServices>(context_.game);
        floor_ = std::make_unique<Fenwarrow::Dungeon::CDungeon>(*services_);
        Fenwarrow::Dungeon::CMap& map = floor_->getMap();
        map.create(kCellSize, 40, 12);
        for (Fenwarrow::Dungeon::CMapCell& cell : map.getCells()) {
            cell.cellType = cell.x == 20 ? Fenwarrow::Dungeon::kCellWall : Fenwarrow::Dungeon::kCellFloor;
        }
        player_ = std::make_shared<Fenwarrow::Actor::CPlayer>(context_.game);
        floor_->setPlayer(player_);
        floor_->addTurnParticipant(player_);
        ASSERT_TRUE(floor_->putCellObject(player_.get(), kPlayerPoint, false));
        context_.dungeon = floor_.get();
        // Twelve keys, none down in either frame.
        keys_.bind(11, 0, 0);
        context_.keys = &keys_;
    }
    void TearDown() override {
        manager_->clear();
        context_.dungeon = nullptr;
        floor_.reset();
        services_.reset();
        ActionFixture::TearDown();
    }

    std::shared_ptr<Fenwarrow::Actor::CEnemy> addEnemy(Fenwarrow::Dungeon::MapPoint point) {
        auto enemy = std::make_shared<Fenwarrow::Actor::CEnemy>(context_.game);
        floor_->addTurnParticipant(enemy);
        EXPECT_TRUE(floor_->putCellObject(enemy.get(), point, false));
        return enemy;
    }
    std::shared_ptr<Fenwarrow::Item::CItem> addItem(Fenwarrow::Dungeon::MapPoint point, int32_t option = 0) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(context_.game, 100);
        item->setName(u"やくそう");
        item->getStatus().setAnotherOption(option);
        floor_->addFloorItem(item);
        EXPECT_TRUE(floor_->putCellObject(item.get(), point, false));
        return item;
    }
    // The key goes down in a new frame (it was up in the one before).
    void pushKey(uint32_t key) {
        keys_.swapBuffers();
        for (uint32_t k = 0; k < 12; ++k) {
            keys_.setDown(k, k == key);
        }
    }
    // Every key up in this frame and the one before.
    void releaseKeys() {
        for (int frame = 0; frame < 2; ++frame) {
            keys_.swapBuffers();
            for (uint32_t k = 0; k < 12; ++k) {
                keys_.setDown(k, false);
            }
        }
    }
    static Fenwarrow::Dungeon::MapPoint pointOf(const Fenwarrow::Dungeon::CCellObject& object) {
        return object.getCell() != nullptr ? object.getCell()->getPoint() : Fenwarrow::Dungeon::kInvalidPoint;
    }
    const std::vector<std::u16string>& log() const { return floor_->getLogManager().getHistory(); }

    std::unique_ptr<DungeonTest::TestDungeonServices> services_;
    std::unique_ptr<Fenwarrow::Dungeon::CDungeon> floor_;
    std::shared_ptr<Fenwarrow::Actor::CPlayer> player_;
    Orvex::InputSystem::OxVirtualKey keys_;
};

}  // namespace ActionTest
