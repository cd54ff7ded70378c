#pragma once
// One cell of the map as the game uses it, and the fixed 52-byte record it is saved as.
#include <array>
#include <cstdint>

#include "game/dungeon/OxPoint.h"

namespace Fenwarrow::Dungeon {

class CCellObject;
class CRoom;

enum CellType : int32_t { kCellNone = 0, kCellFloor = 1, kCellWall = 2, kCellHardWall = 3, kCellWater = 4 };

// The wide name of a cell type; "None" for any value outside 0..4 (scripts may store such kinds,
// and every table lookup treats them as the blocking "None").
const char16_t* getCellTypeName(int32_t type);
// True for every kind that cannot be entered: None, Wall, HardWall, Water and anything unknown.
bool isBlockingCellType(int32_t type);

class CMapCell {
public:
    static constexpr std::size_t kObjectSlots = 4;

    // Position from the point, draw position 0, no objects; type, room and tracked keep theirs.
    void initialize(MapPoint point);
    void setDrawPosition(float x, float y) {
        drawX = x;
        drawY = y;
    }
    // Puts the object into the first empty slot and links it to this cell; with every slot
    // taken nothing happens and the object keeps its old link.
    bool addObject(CCellObject* object);
    // Takes the object off (clearing its link) and closes the gap, keeping the others' order.
    bool removeObject(CCellObject* object);
    CCellObject* getObject(std::size_t slot) const { return slot < kObjectSlots ? objects[slot] : nullptr; }
    MapPoint getPoint() const { return {x, y}; }

    bool initialized = false;
    int32_t x = 0;
    int32_t y = 0;
    float drawX = 0.0f;
    float drawY = 0.0f;
    int32_t cellType = kCellNone;
    CRoom* room = nullptr;
    bool tracked = false;
    uint32_t objectCount = 0;
    std::array<CCellObject*, kObjectSlots> objects{};
};

// The saved form of a cell, byte for byte (little-endian). The room word means nothing in a
// save; each object word is the saved identity of an object (0 for an empty slot).
struct MapCellRecord {
    static constexpr std::size_t kSize = 52;

    uint8_t initialized = 0;
    uint8_t padding0[3] = {};
    int32_t x = 0;
    int32_t y = 0;
    float drawX = 0.0f;
    float drawY = 0.0f;
    int32_t cellType = 0;
    uint32_t room = 0;
    uint8_t tracked = 0;
    uint8_t padding1[3] = {};
    uint32_t objectCount = 0;
    uint32_t objects[4] = {};

    void encode(uint8_t (&bytes)[kSize]) const;
    static MapCellRecord decode(const uint8_t (&bytes)[kSize]);
};
static_assert(sizeof(MapCellRecord) == MapCellRecord::kSize, "the saved cell record is 52 bytes");

}  // namespace Fenwarrow::Dungeon
