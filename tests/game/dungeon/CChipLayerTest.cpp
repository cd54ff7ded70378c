#include "game/dungeon/CChipLayer.h"

#include <gtest/gtest.h>

#include "engine/serialization/OxSerializer.h"
#include "game/dungeon/CMap.h"
#include "game/dungeon/WallPiece.h"

namespace {

using namespace Fenwarrow::Dungeon;

TEST(CChipLayer, ANewLayerIsHiddenAndReadsBackAsWritten) {
    CChipLayer layer;
    EXPECT_FALSE(layer.isVisible());
    EXPECT_TRUE(layer.getLayerName().empty());
    const ChipEntry fresh;
    EXPECT_EQ((std::array{fresh.enabled != 0, fresh.chipInfoIndex == -1, fresh.chipX == 0, fresh.chipY == 0}),
              (std::array{false, true, true, true}));

    layer.setLayerName(u"MapFrontChip");
    layer.setVisible(true);
    auto info = std::make_shared<CChipInfo>();
    info->setTexturePath(u"Dungeon/MapChip/wall.png");
    info->setAutoTile(true);
    layer.getChipSet().getChipInfos().push_back(info);
    layer.getEntries() = {ChipEntry{}, ChipEntry{1, {}, 0, -7, 12}};

    Orvex::Serialization::OxSerializer stream;
    ASSERT_TRUE(layer.serialize(stream));
    stream.setWriting(false);
    CChipLayer back;
    ASSERT_TRUE(back.serialize(stream));
    EXPECT_EQ(stream.getRemaining(), 0u);
    EXPECT_EQ(back.getLayerName(), u"MapFrontChip");
    EXPECT_TRUE(back.isVisible());
    ASSERT_EQ(back.getChipSet().getChipInfos().size(), 1u);
    const auto backInfo = back.getChipSet().getChipInfos().at(0);
    EXPECT_EQ(backInfo->getTexturePath(), u"Dungeon/MapChip/wall.png");
    EXPECT_TRUE(backInfo->isAutoTile());
    EXPECT_EQ(backInfo->getTexture(), nullptr);
    ASSERT_EQ(back.getEntries().size(), 2u);
    EXPECT_EQ(back.getEntries()[0].chipInfoIndex, -1);
    EXPECT_EQ((std::array{back.getEntries()[1].chipX, back.getEntries()[1].chipY}), (std::array{-7, 12}));

    // An entry count the stream cannot hold is refused.
    stream.setWriting(false);
    stream.getBuffer().resize(stream.getBuffer().size() - 1);
    EXPECT_FALSE(CChipLayer().serialize(stream));
}

// A 3x3 floor of walls with chosen Floor cells; the piece of each quarter of the centre cell.
TEST(WallPiece, PicksThePieceOfEachQuarterFromItsThreeNeighbours) {
    struct Case {
        const char* rows[3];  // '.' Floor, '#' Wall
        int32_t pieces[4];
    };
    const Case cases[] = {
        // North, west and north-west walls: quarter 0 takes piece 3.
        {{"###", "#.#", "###"}, {3, 3, 11, 11}},
        // All of quarter 0's neighbours Floor: piece 0.
        {{"...", "..#", "..#"}, {0, 1, 8, 9}},
        {{"#..", "...", "..."}, {0, 5, 8, 13}},
        {{".#.", "...", "..."}, {2, 6, 8, 13}},
        {{".#.", "...", ".#."}, {2, 6, 10, 14}},
        {{"#.#", "#.#", "###"}, {1, 1, 11, 11}},
        {{".#.", "#..", "..."}, {4, 6, 9, 13}},
    };
    for (const Case& c : cases) {
        CMap map;
        ASSERT_TRUE(map.create(32, 3, 3));
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 3; ++x) {
                map.getCell({x, y})->cellType = c.rows[y][x] == '.' ? kCellFloor : kCellWall;
            }
        }
        const auto open = getWallNeighbours(map, 1, 1);
        for (int32_t quarter = 0; quarter < 4; ++quarter) {
            EXPECT_EQ(pickWallPiece(quarter, open), c.pieces[quarter])
                << c.rows[0] << "/" << c.rows[1] << "/" << c.rows[2] << " quarter " << quarter;
        }
    }
}

TEST(WallPiece, MissingNeighboursAtTheCornerCountAsOpen) {
    CMap map;
    ASSERT_TRUE(map.create(32, 2, 2));
    for (CMapCell& cell : map.getCells()) {
        cell.cellType = kCellFloor;
    }
    const auto open = getWallNeighbours(map, 0, 0);
    EXPECT_EQ(open, (std::array{true, true, false, false, false, true, true, true}));
    EXPECT_EQ(pickWallPiece(0, open), 3);
}

TEST(WallPiece, RectanglesSplitTheCellAtTheUpperShare) {
    EXPECT_EQ(getWallPieceDestRect(0, 32.0f, 64.0f, 32.0f), (WallRect{64.0f, 32.0f, 80.0f, 41.0f}));
    EXPECT_EQ(getWallPieceDestRect(3, 32.0f, 64.0f, 32.0f), (WallRect{80.0f, 41.0f, 96.0f, 64.0f}));
    EXPECT_EQ(getWallPieceSourceRect(7, 32.0f), (WallRect{112.0f, 0.0f, 128.0f, 9.0f}));
    EXPECT_EQ(getWallPieceSourceRect(9, 32.0f), (WallRect{16.0f, 9.0f, 32.0f, 32.0f}));
}

}  // namespace
