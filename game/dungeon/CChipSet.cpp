#include "game/dungeon/CChipSet.h"

#include <memory>

#include "engine/serialization/OxSerializer.h"

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
    uint32_t count = 0;
    if (!serializer.readCount(count, kMinChipInfoBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        auto info = std::make_shared<CChipInfo>();
        if (!info->serialize(serializer)) {
            return false;
        }
        chipInfos_.push_back(std::move(info));
    }
    return true;
}

}  // namespace Fenwarrow::Dungeon
