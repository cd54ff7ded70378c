#include "game/dungeon/CChipLayer.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow::Dungeon {

void CChipLayer::reset() {
    layerName_.clear();
    visible_ = 0;
    chipSet_.getChipInfos().clear();
    entries_.clear();
}

bool CChipLayer::serialize(Orvex::Serialization::OxSerializer& serializer) {
    serializer.serializeWString(layerName_);
    if (serializer.isWriting()) {
        serializer.writeByte(visible_);
        chipSet_.serialize(serializer);
        serializer.write32(static_cast<uint32_t>(entries_.size()));
        for (const ChipEntry& entry : entries_) {
            serializer.writeByte(entry.enabled);
            serializer.writeByte(0);
            serializer.write16(0);
            serializer.write32(entry.chipInfoIndex);
            serializer.write32(entry.chipX);
            serializer.write32(entry.chipY);
        }
        return true;
    }
    serializer.readByte(visible_);
    if (!chipSet_.serialize(serializer)) {
        return false;
    }
    uint32_t count = 0;
    if (!serializer.readCount(count, ChipEntry::kSize)) {
        return false;
    }
    entries_.assign(count, ChipEntry{});
    for (ChipEntry& entry : entries_) {
        uint8_t padding[3];
        serializer.readByte(entry.enabled);
        serializer.readBlock(padding, sizeof(padding));
        serializer.read32(entry.chipInfoIndex);
        serializer.read32(entry.chipX);
        serializer.read32(entry.chipY);
    }
    return !serializer.hasReadFailed();
}

}  // namespace Fenwarrow::Dungeon
