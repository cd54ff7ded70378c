#pragma once
// One room of a floor: a rectangle of cells (all bounds inclusive), its entrances, and the
// monster-house and shop records a room may carry.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/serialization/IOrvexSerializeObject.h"
#include "game/dungeon/OxPoint.h"

namespace Fenwarrow::Dungeon {

class CMonsterHouseInfo;
class CShopInfo;

class CRoom : public Orvex::Serialization::IOrvexSerializeObject {
public:
    CRoom() = default;
    CRoom(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : top(top), left(left), right(right), bottom(bottom) {}

    // Type, rectangle and gates. A room carrying a monster-house or shop record is refused
    // (false) in both directions, since those records are not written here: the stream never
    // claims a record it does not hold.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    bool contains(MapPoint point) const {
        return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
    }
    // The gate with that index, or null when the index is not below the gate count.
    const MapPoint* getRoomGate(int32_t index) const {
        return index >= 0 && static_cast<std::size_t>(index) < gates.size() ? &gates[static_cast<std::size_t>(index)]
                                                                            : nullptr;
    }

    // A free value the floor scripts set and read (1 monster house, 2 shop by their convention).
    int32_t roomType = 0;
    int32_t top = 0;
    int32_t left = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    std::vector<MapPoint> gates;
    std::shared_ptr<CMonsterHouseInfo> monsterHouse;
    std::shared_ptr<CShopInfo> shop;
};

}  // namespace Fenwarrow::Dungeon
