#pragma once
// The chip textures of one chip layer, in the order they were added.
#include "engine/serialization/IOrvexSerializeObject.h"
#include "engine/system/shared_vector_ptr.h"
#include "game/dungeon/CChipInfo.h"

namespace Fenwarrow::Dungeon {

class CChipSet : public Orvex::Serialization::IOrvexSerializeObject {
public:
    using ChipInfoList = Orvex::System::shared_vector_ptr<CChipInfo>;

    // A count, then each chip texture's own form; reading replaces the list.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    ChipInfoList& getChipInfos() { return chipInfos_; }
    const ChipInfoList& getChipInfos() const { return chipInfos_; }

private:
    ChipInfoList chipInfos_;
};

}  // namespace Fenwarrow::Dungeon
