// The floor view over a real floor: camera and shake, cell placement, the chip layers in their
// blend modes and priorities, which cell objects show, and the darkness.
#include "game/dungeon/CMapRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game/dungeon/WallPiece.h"
#include "tests/game/dungeon/RendererTestFloor.h"

namespace {

using namespace RendererTest;
using Orvex::Graphics::OxRect;
using Orvex::Graphics::Testing::DrawCall;

constexpr uint32_t kAlpha = Orvex::Graphics::OxTextureBlendModes::kAlphaBlend;
constexpr uint32_t kAdditive = Orvex::Graphics::OxTextureBlendModes::kAdditive;

class MapView : public RendererFloor {
protected:
    CMapRenderer& view() { return floor_->getMapRenderer(); }

    // A visible layer of that name with one chip texture (auto-tiled or not) and no entries set.
    CChipLayer& addLayer(const std::u16string& name, const std::u16string& texture, bool autoTile) {
        auto layer = std::make_shared<CChipLayer>();
        layer->setLayerName(name);
        layer->setVisible(true);
        auto info = std::make_shared<CChipInfo>();
        info->setTexturePath(texture);
        info->setAutoTile(autoTile);
        EXPECT_TRUE(info->loadTexture(context_.reader, &rig_.textures));
        layer->getChipSet().getChipInfos().push_back(info);
        const CMap& map = floor_->getMap();
        layer->getEntries().resize(static_cast<std::size_t>(map.getWidth() * map.getHeight()));
        floor_->getMap().getChipLayers().push_back(layer);
        return *layer;
    }
    static void setChip(CChipLayer& layer, int32_t width, MapPoint at, int32_t info, int32_t chipX, int32_t chipY) {
        ChipEntry& entry = layer.getEntries()[static_cast<std::size_t>(at.y * width + at.x)];
        entry.enabled = 1;
        entry.chipInfoIndex = info;
        entry.chipX = chipX;
        entry.chipY = chipY;
    }
    void frame() {
        view().update();
        view().draw();
        runQueue();
    }
};

TEST_F(MapView, BouncingShakeHalvesEachIntervalUntilItSettles) {
    buildOpen(20, 15);
    view().setShake(4, 16.0f, 0.0f, false);
    std::vector<float> offsets;
    for (int i = 0; i < 20; ++i) {
        view().update();
        offsets.push_back(view().getShake().offset.x);
    }
    const std::vector<float> expected{0, 0, 0, -8, -8, -8, -8, 4, 4, 4, 4, -2, -2, -2, -2, 1, 1, 1, 1, 0};
    EXPECT_EQ(offsets, expected);
    EXPECT_EQ(view().getShake().amplitudeX, 0.0f);
    EXPECT_EQ(view().getShake().counter, 0);

    // No amplitude, no offset, in either mode.
    for (const bool random : {false, true}) {
        view().setShake(1, 0.0f, 0.0f, random);
        view().update();
        EXPECT_EQ(view().getShake().offset.x, 0.0f);
        EXPECT_EQ(view().getShake().offset.y, 0.0f);
    }
}

TEST_F(MapView, RandomShakeDrawsAnOffsetEachIntervalAndGoesOn) {
    buildOpen(20, 15);
    view().setShake(2, 6.0f, 3.0f, true);
    float previous = 0.0f;
    for (int i = 1; i <= 40; ++i) {
        view().update();
        const CMapRenderer::Offset offset = view().getShake().offset;
        if (i % 2 == 1) {
            EXPECT_EQ(offset.x, previous) << i;  // between draws the offset holds
        } else {
            EXPECT_GE(offset.x, 1.0f);
            EXPECT_LE(offset.x, 6.0f);
            EXPECT_GE(offset.y, 1.0f);
            EXPECT_LE(offset.y, 3.0f);
        }
        previous = offset.x;
    }
    EXPECT_EQ(view().getShake().amplitudeX, 6.0f);  // never dies away by itself
}

TEST_F(MapView, CameraFollowsTheFocusAndPlacesEveryCellInWholePixels) {
    buildOpen(20, 15);
    ASSERT_TRUE(floor_->putCellObject(player_, {2, 2}, false));
    view().update();
    // Left of and above the map: those window cells are simply not there.
    EXPECT_EQ(view().getCameraCellX(), -3);
    EXPECT_EQ(view().getCameraCellY(), -2);
    // The focus cell's middle stands in the middle of the 800-pixel screen's width: the origin
    // is (400 - 5.5 * 32, -32 - 32), made whole by adding a half and cutting toward zero.
    EXPECT_EQ(view().getDrawOrigin().x, 224);
    EXPECT_EQ(view().getDrawOrigin().y, -63);
    EXPECT_EQ(floor_->getMap().getCell({2, 2})->drawX + 16, 400.0f);
    const CMapCell* corner = floor_->getMap().getCell({0, 0});
    EXPECT_EQ(corner->drawX, 224.0f + 3 * 32);
    EXPECT_EQ(corner->drawY, -63.0f + 2 * 32);

    // Offsets add up before the origin is made whole (half up, then toward zero).
    view().setDrawOffset({0.4f, -0.6f});
    view().setScreenDrawOffset({10.0f, 0.0f});
    view().update();
    EXPECT_EQ(view().getDrawOrigin().x, 234);
    EXPECT_EQ(view().getDrawOrigin().y, -64);
    EXPECT_EQ(floor_->getMap().getCell({19, 14})->drawX, 234.0f + 22 * 32);
    EXPECT_EQ(floor_->getMap().getCell({19, 14})->drawY, -64.0f + 16 * 32);
}

TEST_F(MapView, AFocusThatLeftTheFloorHandsTheViewBackToThePlayer) {
    buildOpen(30, 20);
    ASSERT_TRUE(floor_->putCellObject(player_, {3, 3}, false));
    Fenwarrow::Actor::CActor* enemy = enemyAt({20, 12});
    view().setFocusActor(enemy);
    view().update();
    EXPECT_EQ(view().getCameraCellX(), 15);
    EXPECT_EQ(view().getCameraCellY(), 8);

    // Off its cell but still on the floor: the camera stays.
    floor_->deleteCellObject(enemy);
    view().update();
    EXPECT_EQ(view().getFocusActor(), enemy);
    EXPECT_EQ(view().getCameraCellX(), 15);

    // Gone from the floor (and freed): the player is followed again.
    floor_->removeActor(enemy);
    enemies_.clear();
    floor_->update();  // the floor lets go of removed actors at its next update
    view().update();
    EXPECT_EQ(view().getFocusActor(), player_);
    EXPECT_EQ(view().getCameraCellX(), -2);
    EXPECT_EQ(view().getCameraCellY(), -1);

    view().setFocusActor(nullptr);
    view().update();
    EXPECT_EQ(view().getFocusActor(), player_);
}

TEST_F(MapView, ChipLayersDrawInTheirPriorityAndBlendModeAndSkipBrokenEntries) {
    buildOpen(20, 15);
    ASSERT_TRUE(floor_->putCellObject(player_, {5, 4}, false));  // camera (0, 0)
    view().setForceDrawAll(true);                                // no darkness over the chips
    CChipLayer& back = addLayer(u"MapBackChip", u"Chip/plain.png", false);
    CChipLayer& unnamed = addLayer(u"ground detail", u"Chip/plain.png", false);
    CChipLayer& glow = addLayer(u"MapAddChip", u"Chip/plain.png", false);
    setChip(back, 20, {1, 1}, 0, 2, 3);
    setChip(unnamed, 20, {2, 1}, 0, 0, 0);
    setChip(glow, 20, {3, 1}, 0, 1, 0);
    // Entries naming no chip texture of the set, and one outside the window: none draws.
    setChip(back, 20, {4, 1}, 7, 0, 0);
    setChip(back, 20, {5, 1}, -1, 0, 0);
    setChip(back, 20, {13, 1}, 0, 0, 0);
    // The window's eleven columns and the one beyond them that a step's slide brings in.
    setChip(back, 20, {11, 9}, 0, 0, 0);
    frame();

    // Back first; the unnamed layer shares the additive layer's priority but not its mode; of
    // two equal priorities the one queued later (the lower layer) is drawn first.
    ASSERT_EQ(sprite_.calls.size(), 4u);
    const float origin = 224.0f;
    EXPECT_EQ(sprite_.calls[0].destination.left, origin + 32);
    EXPECT_EQ(sprite_.calls[0].source.left, 64.0f);
    EXPECT_EQ(sprite_.calls[0].source.top, 96.0f);
    EXPECT_EQ(sprite_.calls[0].source.bottom, 128.0f);
    EXPECT_EQ(sprite_.calls[1].destination.left, origin + 11 * 32);
    EXPECT_EQ(sprite_.calls[1].destination.top, -63.0f + 9 * 32);
    EXPECT_EQ(sprite_.calls[2].destination.left, origin + 64);
    EXPECT_EQ(sprite_.calls[3].destination.left, origin + 96);
    EXPECT_EQ(sprite_.modes, (std::vector<uint32_t>{kAlpha, kAlpha, kAlpha, kAdditive}));

    // A hidden layer, or a layer removed after the frame queued it, draws nothing.
    sprite_.calls.clear();
    back.setVisible(false);
    view().draw();
    floor_->getMap().getChipLayers().clear();
    runQueue();
    EXPECT_TRUE(sprite_.calls.empty());
}

TEST_F(MapView, AutoTiledChipsDrawFourShiftedQuartersOnWallsOnly) {
    build({"#######", "#.....#", "#.....#", "#.....#", "#######"}, {CRoom(1, 1, 5, 3)});
    ASSERT_TRUE(floor_->putCellObject(player_, {3, 2}, false));
    view().setForceDrawAll(true);
    CChipLayer& walls = addLayer(u"MapBackChip", u"Chip/wall.png", true);
    CChipLayer& glow = addLayer(u"MapAddChip", u"Chip/wall.png", true);
    setChip(walls, 7, {0, 0}, 0, 0, 0);
    setChip(walls, 7, {1, 1}, 0, 0, 0);  // a floor cell: auto-tiles skip it
    setChip(glow, 7, {0, 0}, 0, 0, 0);
    frame();

    ASSERT_EQ(sprite_.calls.size(), 8u);
    const float s = 32.0f;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const DrawCall& normal = sprite_.calls[static_cast<std::size_t>(quarter)];
        const DrawCall& added = sprite_.calls[static_cast<std::size_t>(4 + quarter)];
        const WallRect plain =
            getWallPieceSourceRect(pickWallPiece(quarter, getWallNeighbours(floor_->getMap(), 0, 0)), s);
        const bool leftHalf = quarter == 0 || quarter == 2;
        EXPECT_EQ(normal.source.top, plain.top + (leftHalf ? 2 * s : 0.0f)) << quarter;
        EXPECT_EQ(added.source.top, plain.top + (leftHalf ? 0.0f : 3 * s)) << quarter;
        EXPECT_EQ(added.source.bottom - added.source.top, plain.bottom - plain.top);
        EXPECT_EQ(normal.source.left, plain.left);
        const WallRect to = getWallPieceDestRect(quarter, s, 224.0f + 2 * s, -63.0f + 2 * s);
        EXPECT_EQ(normal.destination.left, to.left);
        EXPECT_EQ(normal.destination.bottom, to.bottom);
    }
}

TEST_F(MapView, ObjectsShowByRoomSightWithPrioritiesFromTheBottomRight) {
    build({"..........", "..........", "..........", "..........", "..........", "..........", ".........."},
          {CRoom(0, 0, 6, 6)});
    ASSERT_TRUE(floor_->putCellObject(player_, {5, 4}, false));  // camera (0, 0)
    Fenwarrow::Actor::CActor* near = enemyAt({6, 4});
    Fenwarrow::Actor::CActor* edge = enemyAt({7, 2});
    Fenwarrow::Actor::CActor* far = enemyAt({9, 4});
    Fenwarrow::Item::CItem* item = itemAt({5, 5});
    const auto drawn = [&](Fenwarrow::Dungeon::CCellObject* object) { return object->getDrawPriority() != -1; };
    const auto reset = [&] {
        for (CCellObject* object : std::vector<CCellObject*>{player_, near, edge, far, item}) {
            object->setDrawPriority(-1);
        }
    };

    reset();
    view().update();
    view().draw();
    EXPECT_TRUE(drawn(near));
    EXPECT_TRUE(drawn(edge));  // the room's rectangle grown by one
    EXPECT_FALSE(drawn(far));
    // Rows 6..4 inside (3 x 1000); before (5, 4): 2 rows of 10 columns and 5 columns of row 4.
    EXPECT_EQ(player_->getDrawPriority(), 8500000 + 3000 + (20 + 5) * 10);
    // (5, 5): rows 6 and 5; one full row and 5 columns of row 5.
    EXPECT_EQ(item->getDrawPriority(), 8750000 + 2000 + (10 + 5) * 10);

    // Darkness this frame: only the cells around the player.
    reset();
    view().update();
    view().setDarkness(true);
    view().draw();
    EXPECT_TRUE(drawn(near));
    EXPECT_FALSE(drawn(edge));

    // Blind for a moment: the player alone, and no chip layer.
    addLayer(u"MapBackChip", u"Chip/plain.png", false);
    setChip(*floor_->getMap().getChipLayers().at(0), 10, {5, 4}, 0, 0, 0);
    reset();
    services_.queue.clear();
    view().update();
    view().setTemporaryBlind(true);
    view().draw();
    runQueue();
    EXPECT_TRUE(drawn(player_));
    EXPECT_FALSE(drawn(near));
    EXPECT_FALSE(drawn(item));
    for (const DrawCall& call : sprite_.calls) {
        EXPECT_TRUE(call.fill) << "a chip was drawn";
    }

    // Everything when forced.
    reset();
    view().setTemporaryBlind(false);
    view().setForceDrawAll(true);
    view().update();
    view().draw();
    EXPECT_TRUE(drawn(far));
}

TEST_F(MapView, DarknessCoversWhatLiesOutsideThePlayersRoom) {
    std::vector<std::string> rows(15, std::string(20, '.'));
    build(rows, {CRoom(2, 2, 6, 6)});
    ASSERT_TRUE(floor_->putCellObject(player_, {4, 4}, false));  // camera (-1, 0)
    view().update();
    view().draw();
    runQueue();
    // Window cells inside the map: columns 0..10, rows 0..9; the room grown by one (1..7) stays.
    ASSERT_EQ(sprite_.calls.size(), 11u * 10u - 7u * 7u);
    for (const DrawCall& call : sprite_.calls) {
        ASSERT_TRUE(call.fill);
        EXPECT_FLOAT_EQ(call.colour[3], 178.0f / 255.0f);
        EXPECT_EQ(call.destination.right - call.destination.left, 32.0f);
    }
    EXPECT_FLOAT_EQ(sprite_.diffuse[3], 0.7f);
    EXPECT_GT(sprite_.resetCalls, 0);

    // Each case: a change before the frame's update, one after it (the per-frame switches).
    struct Case {
        const char* what;
        std::function<void()> before;
        std::function<void()> after;
        std::size_t calls;
    };
    const auto nothing = [] {};
    const Case cases[] = {
        {"in a corridor",
         [&] {
             ASSERT_TRUE(floor_->putCellObject(player_, {10, 4}, false));
         },
         nothing, 0},
        {"darkness this frame: the dark plane", nothing, [&] { view().setDarkness(true); }, 1},
        {"darkness off on this floor", [&] { view().setDarknessEnabled(false); }, nothing, 0},
        {"forced to draw all", [&] { view().setForceDrawAll(true); }, nothing, 0},
        {"the view on another actor",
         [&] {
             view().setFocusActor(enemyAt({12, 12}));
         },
         nothing, 0},
    };
    for (const Case& c : cases) {
        floor_->deleteCellObject(player_);
        ASSERT_TRUE(floor_->putCellObject(player_, {4, 4}, false));
        view().reset();
        c.before();
        view().update();
        c.after();
        sprite_.calls.clear();
        view().draw();
        runQueue();
        ASSERT_EQ(sprite_.calls.size(), c.calls) << c.what;
        if (c.calls == 1) {
            EXPECT_EQ(sprite_.calls[0].texture, view().getDarkPlane());
            EXPECT_FALSE(sprite_.calls[0].hasDestination);
            EXPECT_FALSE(sprite_.calls[0].hasSource);
        }
    }

    // Without the dark plane the darkness over the screen draws nothing.
    view().release();
    view().update();
    view().setDarkness(true);
    sprite_.calls.clear();
    view().draw();
    runQueue();
    EXPECT_TRUE(sprite_.calls.empty());
}

}  // namespace
