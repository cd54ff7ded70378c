#include "game/dungeon/CMap.h"

#include <climits>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "engine/serialization/OxSerializer.h"
#include "game/dungeon/CCellObject.h"
#include "game/dungeon/CSerializeInfo.h"
#include "platform/kernel/DebugOutput.h"

namespace {

using namespace Fenwarrow::Dungeon;
using Orvex::Serialization::OxSerializer;

struct Piece : CCellObject {
    int32_t getCellObjectType() const override { return kItem; }
};

TEST(CMap, CreateLaysOutCellsRowByRowWithOneRoomOverTheMap) {
    CMap map;
    ASSERT_TRUE(map.create(32, 3, 2));
    ASSERT_EQ(map.getCells().size(), 6u);
    const MapPoint expected[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
    for (std::size_t i = 0; i < 6; ++i) {
        const CMapCell& cell = map.getCells()[i];
        EXPECT_EQ(cell.getPoint(), expected[i]) << i;
        EXPECT_EQ(cell.cellType, kCellNone);
        EXPECT_TRUE(cell.initialized);
        EXPECT_EQ(cell.room, nullptr);  // rooms are assigned later
    }
    ASSERT_EQ(map.getRoomCount(), 1);
    const CRoom* room = map.getRoom(0);
    EXPECT_EQ((std::array{room->left, room->top, room->right, room->bottom}), (std::array{0, 0, 2, 1}));
    EXPECT_EQ(map.getCell({2, 1}), &map.getCells()[5]);
    for (const MapPoint outside : {MapPoint{-1, 0}, MapPoint{3, 0}, MapPoint{0, 2}, MapPoint{0, -1}}) {
        EXPECT_EQ(map.getCell(outside), nullptr);
    }
    EXPECT_EQ(map.getRoom(-1), nullptr);
    EXPECT_EQ(map.getRoom(1), nullptr);
}

TEST(CMap, RefusesSizesItCannotHoldAndKeepsTheOldMap) {
    struct Case {
        uint32_t cellSize;
        int32_t width;
        int32_t height;
    };
    const Case cases[] = {
        {0, 3, 2},        {32, 0, 2}, {32, 3, 0}, {32, -1, 2}, {32, 3, -5}, {32, 65536, 65536}, {32, INT_MAX, INT_MAX},
        {32, INT_MIN, -1}};
    for (const Case& c : cases) {
        CMap map;
        ASSERT_TRUE(map.create(16, 4, 4));
        map.setStartPosition({2, 2});
        EXPECT_FALSE(map.create(c.cellSize, c.width, c.height)) << c.width << "x" << c.height;
        EXPECT_EQ(map.getWidth(), 4);
        EXPECT_EQ(map.getCellSize(), 16u);
        EXPECT_EQ(map.getCells().size(), 16u);
        EXPECT_EQ(map.getStartPosition(), (MapPoint{2, 2}));
    }
}

TEST(CMap, RoomHandlesStayValidWhileMoreRoomsAreAdded) {
    CMap map;
    ASSERT_TRUE(map.create(32, 10, 10));
    CRoom* first = map.addRoom(CRoom(1, 1, 3, 3));
    for (int i = 0; i < 200; ++i) {
        map.addRoom(CRoom(5, 5, 6, 6));
    }
    first->gates.push_back({4, 2});  // a script writing through the handle it kept
    EXPECT_EQ(map.getRoom(1), first);
    EXPECT_EQ(map.indexOfRoom(first), 1);
    ASSERT_EQ(map.getRoom(1)->gates.size(), 1u);
    // A holder of the shared room keeps it readable after the room list is cleared.
    std::shared_ptr<CRoom> kept = map.getSharedRoom(1);
    map.clearRoom();
    EXPECT_EQ(kept->left, 1);
    EXPECT_EQ(map.indexOfRoom(kept.get()), -1);
}

TEST(CMap, AssignRoomCellsClipsToTheMapAndLetsTheLaterRoomWin) {
    CMap map;
    ASSERT_TRUE(map.create(32, 4, 3));
    map.clearRoom();
    CRoom* huge = map.addRoom(CRoom(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    CRoom* inverted = map.addRoom(CRoom(3, 0, 1, 2));
    CRoom* corner = map.addRoom(CRoom(2, 1, 9, 9));
    int overlaps = 0;
    Platform::Kernel::setDebugSink(
        [&overlaps](std::u16string_view line) { overlaps += line == u"部屋が重なっている"; });
    EXPECT_TRUE(map.assignRoomCells());
    Platform::Kernel::setDebugSink({});
    EXPECT_EQ(overlaps, 4);  // one line per cell of the corner room over the huge one
    for (const CMapCell& cell : map.getCells()) {
        const bool inCorner = cell.x >= 2 && cell.y >= 1;
        EXPECT_EQ(cell.room, inCorner ? corner : huge) << cell.x << "," << cell.y;
        EXPECT_NE(cell.room, inverted);
    }
    map.clearRoom();
    for (const CMapCell& cell : map.getCells()) {
        EXPECT_EQ(cell.room, nullptr);
    }
}

TEST(CMapCell, SlotsStayPackedInOrderAndHoldAtMostFour) {
    CMapCell cell;
    cell.initialize({0, 0});
    Piece pieces[5];
    for (Piece& piece : pieces) {
        cell.addObject(&piece);
    }
    EXPECT_EQ(cell.objectCount, 4u);
    EXPECT_EQ(pieces[4].getCell(), nullptr);  // the fifth is not added

    EXPECT_TRUE(cell.removeObject(&pieces[0]));
    EXPECT_EQ(pieces[0].getCell(), nullptr);
    EXPECT_EQ(cell.objects, (std::array<CCellObject*, 4>{&pieces[1], &pieces[2], &pieces[3], nullptr}));
    EXPECT_FALSE(cell.removeObject(&pieces[4]));
    EXPECT_EQ(cell.objectCount, 3u);
    EXPECT_EQ(pieces[2].getCell(), &cell);
}

TEST(MapCellRecord, IsFiftyTwoLittleEndianBytes) {
    MapCellRecord record;
    record.initialized = 1;
    record.x = 0x01020304;
    record.y = -2;
    record.drawX = 1.0f;
    record.cellType = kCellWater;
    record.room = 0xAABBCCDD;
    record.tracked = 1;
    record.objectCount = 2;
    record.objects[3] = 0x11223344;
    uint8_t bytes[MapCellRecord::kSize];
    record.encode(bytes);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ((std::array{bytes[4], bytes[5], bytes[6], bytes[7]}), (std::array<uint8_t, 4>{4, 3, 2, 1}));
    EXPECT_EQ((std::array{bytes[8], bytes[11]}), (std::array<uint8_t, 2>{0xFE, 0xFF}));
    EXPECT_EQ((std::array{bytes[14], bytes[15]}), (std::array<uint8_t, 2>{0x80, 0x3F}));  // 1.0f
    EXPECT_EQ(bytes[20], 4);
    EXPECT_EQ(bytes[24], 0xDD);
    EXPECT_EQ(bytes[28], 1);
    EXPECT_EQ(bytes[32], 2);
    EXPECT_EQ((std::array{bytes[48], bytes[51]}), (std::array<uint8_t, 2>{0x44, 0x11}));
    const MapCellRecord back = MapCellRecord::decode(bytes);
    EXPECT_EQ(back.x, record.x);
    EXPECT_EQ(back.y, -2);
    EXPECT_EQ(back.drawX, 1.0f);
    EXPECT_EQ(back.objects[3], record.objects[3]);
}

class MapSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(map_.create(24, 5, 4));
        map_.clearRoom();
        CRoom* room = map_.addRoom(CRoom(1, 1, 3, 2));
        room->roomType = 2;
        room->gates = {{0, 1}, {4, 2}};
        map_.assignRoomCells();
        map_.setStartPosition({2, 1});
        map_.getCell({2, 1})->cellType = kCellFloor;
        map_.getCell({3, 3})->tracked = true;
        map_.getCell({3, 3})->setDrawPosition(72.0f, 96.5f);
        map_.getCell({2, 1})->addObject(actor_.get());
        map_.getCell({2, 1})->addObject(item_.get());
        auto layer = std::make_shared<CChipLayer>();
        layer->setLayerName(u"MapBackChip");
        layer->getEntries().assign(20, ChipEntry{});
        layer->getEntries()[7] = ChipEntry{1, {}, 0, 3, 4};
        map_.getChipLayers().push_back(layer);
        written_.addActor(7, actor_);
        written_.addItem(9, item_);
        ASSERT_TRUE(map_.serialize(stream_, written_));
        stream_.setWriting(false);
    }

    CMap map_;
    std::shared_ptr<Piece> actor_ = std::make_shared<Piece>();
    std::shared_ptr<Piece> item_ = std::make_shared<Piece>();
    CSerializeInfo written_;
    OxSerializer stream_;
};

TEST_F(MapSave, ReadsBackCellsRoomsObjectsAndLayers) {
    auto actor = std::make_shared<Piece>();
    auto item = std::make_shared<Piece>();
    CSerializeInfo read;
    read.addActor(7, actor);
    read.addItem(9, item);
    CMap loaded;
    ASSERT_TRUE(loaded.serialize(stream_, read));
    EXPECT_EQ(stream_.getRemaining(), 0u);
    EXPECT_EQ(loaded.getCellSize(), 24u);
    EXPECT_EQ(loaded.getStartPosition(), (MapPoint{2, 1}));
    ASSERT_EQ(loaded.getRoomCount(), 1);
    const CRoom* room = loaded.getRoom(0);
    EXPECT_EQ(room->roomType, 2);
    EXPECT_EQ(room->gates, (std::vector<MapPoint>{{0, 1}, {4, 2}}));
    EXPECT_EQ(loaded.getCell({3, 2})->room, room);
    EXPECT_EQ(loaded.getCell({0, 0})->room, nullptr);
    const CMapCell* start = loaded.getCell({2, 1});
    EXPECT_EQ(start->cellType, kCellFloor);
    EXPECT_EQ(start->objects, (std::array<CCellObject*, 4>{actor.get(), item.get(), nullptr, nullptr}));
    EXPECT_EQ(actor->getCell(), start);
    EXPECT_TRUE(loaded.getCell({3, 3})->tracked);
    EXPECT_EQ(loaded.getCell({3, 3})->drawY, 96.5f);
    ASSERT_EQ(loaded.getChipLayers().size(), 1u);
    const auto layer = loaded.getChipLayers().at(0);
    EXPECT_EQ(layer->getLayerName(), u"MapBackChip");
    EXPECT_EQ(layer->getEntries()[7].chipY, 4);
}

TEST_F(MapSave, ASlotNamingNoRestoredObjectIsDroppedAndTheSlotsClosed) {
    auto item = std::make_shared<Piece>();
    CSerializeInfo read;
    read.addItem(9, item);  // the actor did not come back
    CMap loaded;
    ASSERT_TRUE(loaded.serialize(stream_, read));
    const CMapCell* start = loaded.getCell({2, 1});
    EXPECT_EQ(start->objectCount, 1u);
    EXPECT_EQ(start->objects[0], item.get());
}

TEST_F(MapSave, ATruncatedStreamFailsAndLeavesAnEmptyMap) {
    std::vector<uint8_t>& bytes = stream_.getBuffer();
    bytes.resize(bytes.size() - 30);
    CMap loaded;
    EXPECT_FALSE(loaded.serialize(stream_, CSerializeInfo()));
    EXPECT_EQ(loaded.getCells().size(), 0u);
    EXPECT_EQ(loaded.getRoomCount(), 0);
}

}  // namespace

namespace {

// A damaged count never leaves the map or a layer shorter than its cells: the read fails (the
// floor is refused) instead; an object count past the four slots reads what the slots hold.
TEST_F(MapSave, CountsThatDisagreeWithTheMapAreRefused) {
    OxSerializer layerAlone;
    map_.getChipLayers().at(0)->serialize(layerAlone);
    const std::size_t layersBytes = 4 + layerAlone.getBuffer().size();
    const std::size_t cellsStart = stream_.getBuffer().size() - layersBytes - 20 * MapCellRecord::kSize;
    const auto put32 = [](std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
        std::memcpy(&bytes[at], &value, 4);
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const std::vector<Case> cases = {
        {"cell count below width x height", [&](auto& b) { put32(b, cellsStart - 4, 19); }},
        {"cell count above width x height", [&](auto& b) { put32(b, cellsStart - 4, 21); }},
        {"width 0", [&](auto& b) { put32(b, 4, 0); }},
        {"negative height", [&](auto& b) { put32(b, 8, 0xFFFFFFFC); }},
        // The layer is last: its entry count stands before its 20 entries of 16 bytes.
        {"layer shorter than the map", [&](auto& b) { put32(b, b.size() - 20 * 16 - 4, 19); }},
    };
    const std::vector<uint8_t> good = stream_.getBuffer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stream_.getBuffer() = good;
        c.damage(stream_.getBuffer());
        stream_.setWriting(false);
        CMap loaded;
        EXPECT_FALSE(loaded.serialize(stream_, CSerializeInfo()));
        EXPECT_EQ(loaded.getCells().size(), 0u);
    }

    stream_.getBuffer() = good;
    put32(stream_.getBuffer(), cellsStart + 7 * MapCellRecord::kSize + 32, 9);
    stream_.setWriting(false);
    auto actor = std::make_shared<Piece>();
    auto item = std::make_shared<Piece>();
    CSerializeInfo read;
    read.addActor(7, actor);
    read.addItem(9, item);
    CMap loaded;
    ASSERT_TRUE(loaded.serialize(stream_, read));
    EXPECT_EQ(loaded.getCell({2, 1})->objectCount, 2u);
    EXPECT_EQ(loaded.getCell({2, 1})->objects,
              (std::array<CCellObject*, 4>{actor.get(), item.get(), nullptr, nullptr}));
}

}  // namespace
