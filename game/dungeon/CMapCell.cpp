#include "game/dungeon/CMapCell.h"

#include <bit>
#include <cstring>

#include "game/dungeon/CCellObject.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr const char16_t* kCellTypeNames[] = {u"None", u"Floor", u"Wall", u"HardWall", u"Water"};

void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t get32(const uint8_t* at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(at[i]) << (8 * i);
    }
    return value;
}

}  // namespace

const char16_t* getCellTypeName(int32_t type) {
    return type >= kCellNone && type <= kCellWater ? kCellTypeNames[type] : kCellTypeNames[kCellNone];
}

bool isBlockingCellType(int32_t type) { return type != kCellFloor; }

void CMapCell::initialize(MapPoint point) {
    x = point.x;
    y = point.y;
    drawX = 0.0f;
    drawY = 0.0f;
    objectCount = 0;
    objects.fill(nullptr);
    initialized = true;
}

bool CMapCell::addObject(CCellObject* object) {
    for (CCellObject*& slot : objects) {
        if (slot == nullptr) {
            slot = object;
            object->setCell(this);
            ++objectCount;
            return true;
        }
    }
    return false;
}

bool CMapCell::removeObject(CCellObject* object) {
    bool found = false;
    for (CCellObject*& slot : objects) {
        if (object != nullptr && slot == object) {
            object->setCell(nullptr);
            slot = nullptr;
            --objectCount;
            found = true;
            break;
        }
    }
    for (std::size_t i = 0; i + 1 < kObjectSlots; ++i) {
        if (objects[i] == nullptr) {
            objects[i] = objects[i + 1];
            objects[i + 1] = nullptr;
        }
    }
    return found;
}

void MapCellRecord::encode(uint8_t (&bytes)[kSize]) const {
    std::memset(bytes, 0, kSize);
    bytes[0] = initialized;
    put32(bytes + 4, static_cast<uint32_t>(x));
    put32(bytes + 8, static_cast<uint32_t>(y));
    put32(bytes + 12, std::bit_cast<uint32_t>(drawX));
    put32(bytes + 16, std::bit_cast<uint32_t>(drawY));
    put32(bytes + 20, static_cast<uint32_t>(cellType));
    put32(bytes + 24, room);
    bytes[28] = tracked;
    put32(bytes + 32, objectCount);
    for (std::size_t i = 0; i < 4; ++i) {
        put32(bytes + 36 + 4 * i, objects[i]);
    }
}

MapCellRecord MapCellRecord::decode(const uint8_t (&bytes)[kSize]) {
    MapCellRecord record;
    record.initialized = bytes[0];
    record.x = static_cast<int32_t>(get32(bytes + 4));
    record.y = static_cast<int32_t>(get32(bytes + 8));
    record.drawX = std::bit_cast<float>(get32(bytes + 12));
    record.drawY = std::bit_cast<float>(get32(bytes + 16));
    record.cellType = static_cast<int32_t>(get32(bytes + 20));
    record.room = get32(bytes + 24);
    record.tracked = bytes[28];
    record.objectCount = get32(bytes + 32);
    for (std::size_t i = 0; i < 4; ++i) {
        record.objects[i] = get32(bytes + 36 + 4 * i);
    }
    return record;
}

}  // namespace Fenwarrow::Dungeon
