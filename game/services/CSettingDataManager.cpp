#include "game/services/CSettingDataManager.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow {

bool CSettingDataManager::serialize(Orvex::Serialization::OxSerializer& serializer) {
    // Reading fills copies first, so that a short stream leaves the records whole.
    CDungeonSetting dungeon = dungeon_;
    CPathSetting adv = adv_;
    CPathSetting movie = movie_;
    CWorldMapSetting worldMap = worldMap_;
    CResultSetting result = result_;
    const bool ok = serializeDungeonSetting(serializer, dungeon) && serializePathSetting(serializer, adv) &&
                    serializePathSetting(serializer, movie) && serializeWorldMapSetting(serializer, worldMap) &&
                    serializeResultSetting(serializer, result) && serializeDungeonSetting(serializer, dungeon);
    if (!ok || serializer.isWriting()) {
        return ok;
    }
    dungeon_ = dungeon;
    adv_ = adv;
    movie_ = movie;
    worldMap_ = worldMap;
    result_ = result;
    return true;
}

void CSettingDataManager::resetSceneSettings() {
    dungeon_ = {};
    adv_ = {};
    movie_ = {};
    worldMap_ = {};
}

void CSettingDataManager::resetResultSetting() {
    const auto reserved = result_.reserved;
    result_ = {};
    result_.reserved = reserved;
}

}  // namespace Fenwarrow
