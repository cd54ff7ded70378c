#pragma once
// A floor for the renderer tests: real map, rules and game data, the dark plane, icon strip and
// one chip texture in a packed archive, and a renderer whose sprite drawer records each draw
// with the blend mode it was made in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "tests/engine/graphics/GraphicsTestDoubles.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace RendererTest {

using namespace Fenwarrow::Dungeon;

class BlendRecordingSpriteDraw : public Orvex::Graphics::Testing::RecordingSpriteDraw {
public:
    int32_t draw(Orvex::Graphics::IOrvexTexture* texture, const Orvex::Graphics::OxRect* destination,
                 const Orvex::Graphics::OxRect* source) override {
        modes.push_back(textureBlend);
        return RecordingSpriteDraw::draw(texture, destination, source);
    }
    int32_t drawFill(const float color[4], const Orvex::Graphics::OxRect* destination) override {
        modes.push_back(textureBlend);
        return RecordingSpriteDraw::drawFill(color, destination);
    }
    std::vector<uint32_t> modes;
};

struct Enemy : Fenwarrow::Actor::CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

class RendererFloor : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<uint8_t> bytes{1, 2, 3, 4};
        ScriptTest::openArchive(folder_, context_.reader,
                                {{u"Dungeon/DarkPlane.dds", bytes, false},
                                 {u"Dungeon/MapChip/MiniMap.png", bytes, false},
                                 {u"Chip/plain.png", bytes, false},
                                 {u"Chip/wall.png", bytes, false},
                                 {u"Actor/Player/HERO/setup.lua.lcd",
                                  ScriptTest::textBytes("function setActor(a) end function setup() end"), false},
                                 {u"Actor/Player/HERO/actor.lua.lcd", ScriptTest::textBytes("-- no hooks"), false}});
        context_.provideAllModules();
        gameData_ = std::make_unique<Fenwarrow::CGameDataManager>(context_);
        context_.gameData = gameData_.get();
        ASSERT_NE(gameData_->getPlayer(), nullptr);
        ON_CALL(rig_.renderer, getSpriteDraw()).WillByDefault(::testing::Return(&sprite_));
        services_.renderer = &rig_.renderer;
        floor_ = std::make_unique<CDungeon>(services_);
        player_ = gameData_->getPlayer().get();
        floor_->setPlayer(gameData_->getPlayer());
        floor_->addTurnParticipant(gameData_->getPlayer());
        floor_->getMapRenderer().create();
    }

    void TearDown() override {
        floor_.reset();
        gameData_.reset();
    }

    // Rows of text: '.' Floor, '#' Wall, ' ' None; rooms linked to their cells.
    void build(const std::vector<std::string>& rows, const std::vector<CRoom>& rooms, uint32_t cellSize = 32) {
        CMap& map = floor_->getMap();
        ASSERT_TRUE(map.create(cellSize, static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size())));
        map.clearRoom();
        for (int32_t y = 0; y < map.getHeight(); ++y) {
            for (int32_t x = 0; x < map.getWidth(); ++x) {
                const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                map.getCell({x, y})->cellType = c == '.' ? kCellFloor : c == '#' ? kCellWall : kCellNone;
            }
        }
        for (const CRoom& room : rooms) {
            map.addRoom(room);
        }
        map.assignRoomCells();
    }

    // An open floor of w x h with one room over all of it.
    void buildOpen(int32_t width, int32_t height, uint32_t cellSize = 32) {
        build(std::vector<std::string>(static_cast<std::size_t>(height),
                                       std::string(static_cast<std::size_t>(width), '.')),
              {CRoom(0, 0, width - 1, height - 1)}, cellSize);
    }

    Fenwarrow::Actor::CActor* enemyAt(MapPoint point) {
        auto enemy = std::make_shared<Enemy>(context_);
        floor_->addTurnParticipant(enemy);
        EXPECT_TRUE(floor_->putCellObject(enemy.get(), point, false));
        enemies_.push_back(enemy);
        return enemy.get();
    }
    Fenwarrow::Item::CItem* itemAt(MapPoint point) {
        items_.push_back(std::make_shared<Fenwarrow::Item::CItem>(context_, 1));
        EXPECT_TRUE(floor_->putCellObject(items_.back().get(), point, false));
        return items_.back().get();
    }

    // Runs what the floor queued, in the frame's order, and forgets it.
    void runQueue() {
        services_.queue.sort();
        services_.queue.draw();
        services_.queue.clear();
    }

    TempFolder folder_;
    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    Orvex::Graphics::Testing::RendererRig rig_;
    BlendRecordingSpriteDraw sprite_;
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData_;
    std::unique_ptr<CDungeon> floor_;
    Fenwarrow::Actor::CActor* player_ = nullptr;
    std::vector<std::shared_ptr<Enemy>> enemies_;
    std::vector<std::shared_ptr<Fenwarrow::Item::CItem>> items_;
};

}  // namespace RendererTest
