#include "game/dungeon/MapDataUnpack.h"

#include <gtest/gtest.h>

#include "game/dungeon/CMap.h"

namespace {

using namespace Fenwarrow::Dungeon;

// Room data for a 12 x 8 map: 'r' room cells, 'g' gate cells.
std::string roomData(const std::vector<std::string>& rows) {
    std::string bytes;
    for (const std::string& row : rows) {
        for (char c : row) {
            const uint32_t fields[4] = {c == '.' ? 0u : 1u, 0, c == 'r' ? 1u : (c == 'g' ? 2u : 0u), 0};
            for (uint32_t field : fields) {
                for (int i = 0; i < 4; ++i) {
                    bytes.push_back(static_cast<char>(field >> (8 * i)));
                }
            }
        }
    }
    return bytes;
}

TEST(MapDataUnpack, RoomCellsGrowRoomsAndGatesJoinTheNearestInReach) {
    struct Case {
        std::vector<std::string> rows;
        std::vector<std::array<int32_t, 4>> rects;  // left, top, right, bottom
        std::vector<std::size_t> gates;             // gate count per room
    };
    const Case cases[] = {
        // One cell between: one room. Two cells between: two rooms.
        {{"............", "............", "............", "...r.r......"}, {{3, 3, 5, 3}}, {0}},
        {{"............", "............", "............", "...r..r....."}, {{3, 3, 3, 3}, {6, 3, 6, 3}}, {0, 0}},
        // A one-cell room, a gate next to it and a gate three cells from every room cell.
        {{"............", "..g.........", "..r.........", "......g....."}, {{2, 2, 2, 2}}, {1}},
        // A block of rows grows downwards; later rows join the room they touch.
        {{"rrr.........", "rrr.........", "rrrg........", ".........rr."}, {{0, 0, 2, 2}, {9, 3, 10, 3}}, {1, 0}},
    };
    for (const Case& c : cases) {
        CMap map;
        ASSERT_TRUE(map.create(32, 12, 4));
        map.clearRoom();
        unpackRoomData(map, roomData(c.rows));
        ASSERT_EQ(map.getRoomCount(), static_cast<int32_t>(c.rects.size())) << c.rows[3];
        for (std::size_t i = 0; i < c.rects.size(); ++i) {
            const CRoom* room = map.getRoom(static_cast<int32_t>(i));
            EXPECT_EQ((std::array{room->left, room->top, room->right, room->bottom}), c.rects[i]) << c.rows[3] << i;
            EXPECT_EQ(room->gates.size(), c.gates[i]) << c.rows[3] << i;
        }
    }
}

TEST(MapDataUnpack, UnknownKindsAreKeptButBlockLikeNone) {
    CMap map;
    ASSERT_TRUE(map.create(32, 2, 1));
    std::string bytes(32, '\0');
    bytes[0] = 1;
    bytes[8] = 2;
    bytes[12] = 1;  // kind 2 + 4 x 1 = 6
    bytes[16] = 1;
    bytes[24] = 1;  // kind 1
    unpackCellTypes(map, bytes);
    EXPECT_EQ(map.getCells()[0].cellType, 6);
    EXPECT_EQ(map.getCells()[1].cellType, kCellFloor);
    EXPECT_TRUE(isBlockingCellType(6));
    EXPECT_TRUE(isBlockingCellType(-1));
    EXPECT_FALSE(isBlockingCellType(kCellFloor));
    EXPECT_EQ(std::u16string(getCellTypeName(6)), u"None");
    EXPECT_EQ(std::u16string(getCellTypeName(kCellHardWall)), u"HardWall");
}

}  // namespace
