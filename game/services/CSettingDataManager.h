#pragma once
// The records one scene hands to the next: which dungeon script to start, which adventure or
// movie to play and where to go afterwards, how the world map starts and what the result
// screen shows. They are kept in the common save.
#include "engine/serialization/IOrvexSerializeObject.h"
#include "game/services/SettingRecords.h"

namespace Fenwarrow {

class CSettingDataManager : public Orvex::Serialization::IOrvexSerializeObject {
public:
    // Every record zeroed.
    CSettingDataManager() = default;
    CSettingDataManager(const CSettingDataManager&) = delete;
    CSettingDataManager& operator=(const CSettingDataManager&) = delete;
    ~CSettingDataManager() override = default;

    // Dungeon, adventure, movie, world map, result, then the dungeon record once more (the
    // later copy is the one kept on reading). A read that runs out of bytes returns false
    // and changes no record.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    // Zeroes the dungeon, adventure, movie and world-map records.
    void resetSceneSettings();
    // Zeroes the result record except its reserved bytes.
    void resetResultSetting();

    CDungeonSetting& getDungeonSetting() { return dungeon_; }
    CPathSetting& getADVSetting() { return adv_; }
    CPathSetting& getMovieSetting() { return movie_; }
    CWorldMapSetting& getWorldMapSetting() { return worldMap_; }
    CResultSetting& getResultSetting() { return result_; }
    const CDungeonSetting& getDungeonSetting() const { return dungeon_; }
    const CPathSetting& getADVSetting() const { return adv_; }
    const CPathSetting& getMovieSetting() const { return movie_; }
    const CWorldMapSetting& getWorldMapSetting() const { return worldMap_; }
    const CResultSetting& getResultSetting() const { return result_; }

private:
    CDungeonSetting dungeon_;
    CPathSetting adv_;
    CPathSetting movie_;
    CWorldMapSetting worldMap_;
    CResultSetting result_;
};

}  // namespace Fenwarrow
