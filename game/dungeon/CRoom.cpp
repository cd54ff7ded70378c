#include "game/dungeon/CRoom.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow::Dungeon {

namespace {
constexpr uint32_t kGateBytes = 8;
}

bool CRoom::serialize(Orvex::Serialization::OxSerializer& serializer) {
    if (serializer.isWriting()) {
        if (monsterHouse != nullptr || shop != nullptr) {
            return false;
        }
        for (int32_t value : {roomType, top, left, right, bottom}) {
            serializer.write32(value);
        }
        serializer.write32(static_cast<uint32_t>(gates.size()));
        for (const MapPoint& gate : gates) {
            serializer.write32(gate.x);
            serializer.write32(gate.y);
        }
        serializer.writeByte(0);
        serializer.writeByte(0);
        return true;
    }
    serializer.read32(roomType);
    serializer.read32(top);
    serializer.read32(left);
    serializer.read32(right);
    serializer.read32(bottom);
    uint32_t count = 0;
    if (!serializer.readCount(count, kGateBytes)) {
        return false;
    }
    gates.assign(count, MapPoint{});
    for (MapPoint& gate : gates) {
        serializer.read32(gate.x);
        serializer.read32(gate.y);
    }
    uint8_t hasMonsterHouse = 0;
    uint8_t hasShop = 0;
    serializer.readByte(hasMonsterHouse);
    if (hasMonsterHouse != 0) {
        return false;
    }
    serializer.readByte(hasShop);
    return hasShop == 0 && !serializer.hasReadFailed();
}

}  // namespace Fenwarrow::Dungeon
