#pragma once
// One layer of the floor's look: a name (which chooses its draw priority), a visible flag, its
// chip textures, and one chip entry per map cell (row-major).
#include <cstdint>
#include <string>
#include <vector>

#include "engine/serialization/IOrvexSerializeObject.h"
#include "game/dungeon/CChipSet.h"

namespace Fenwarrow::Dungeon {

// Which chip of which chip texture a cell shows. Saved byte for byte (16 bytes, little-endian).
struct ChipEntry {
    static constexpr std::size_t kSize = 16;

    uint8_t enabled = 0;
    uint8_t padding[3] = {};
    int32_t chipInfoIndex = -1;
    int32_t chipX = 0;
    int32_t chipY = 0;
};
static_assert(sizeof(ChipEntry) == ChipEntry::kSize, "a chip entry is 16 bytes");

class CChipLayer : public Orvex::Serialization::IOrvexSerializeObject {
public:
    CChipLayer() { reset(); }

    // Name empty, hidden, no chip textures, no entries.
    void reset();
    // Name, visible flag, chip set, then a count and the 16-byte entries. Chip textures read
    // back have no texture until reloaded.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    const std::u16string& getLayerName() const { return layerName_; }
    void setLayerName(const std::u16string& name) { layerName_ = name; }
    bool isVisible() const { return visible_ != 0; }
    void setVisible(bool visible) { visible_ = visible ? 1 : 0; }
    CChipSet& getChipSet() { return chipSet_; }
    const CChipSet& getChipSet() const { return chipSet_; }
    std::vector<ChipEntry>& getEntries() { return entries_; }
    const std::vector<ChipEntry>& getEntries() const { return entries_; }

private:
    std::u16string layerName_;
    uint8_t visible_ = 0;
    CChipSet chipSet_;
    std::vector<ChipEntry> entries_;
};

}  // namespace Fenwarrow::Dungeon
