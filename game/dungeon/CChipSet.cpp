#include "game/dungeon/CChipSet.h"

#include "engine/serialization/OxSerializer.h"
#include "game/dungeon/SerializedList.h"

namespace Fenwarrow::Dungeon {

namespace {
// An empty path (one 16-bit terminator) and the flag byte.
constexpr uint32_t kMinChipInfoBytes = 3;
}  // namespace

bool CChipSet::serialize(Orvex::Serialization::OxSerializer& serializer) {
    if (serializer.isWriting()) {
        serializer.write32(static_cast<uint32_t>(chipInfos_.size()));
        for (std::size_t i = 0; i < chipInfos_.size(); ++i) {
            chipInfos_.at(i)->serialize(serializer);
        }
        return true;
    }
    chipInfos_.clear();
    return readSerializedList<CChipInfo>(serializer, kMinChipInfoBytes, chipInfos_);
}

}  // namespace Fenwarrow::Dungeon
