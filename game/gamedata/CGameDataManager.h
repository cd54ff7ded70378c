#pragma once
// The game data kept across dungeon runs and in the common save: global flags, integers and
// floats for scripts and scenes, the player with money and equipment, the storage lists, the
// rankings, the music that plays, the run's time and turns, and the names of unidentified kinds.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <boost/noncopyable.hpp>

#include "engine/system/binary_search_map.h"
#include "engine/system/shared_vector_ptr.h"
#include "game/actor/IPlayerEquipment.h"
#include "game/item/CUnidentifiedItemInfo.h"
#include "game/gamedata/CBGMInfo.h"
#include "game/gamedata/CResultInfo.h"

namespace Fenwarrow {

class IGameContext;
namespace Actor {
class CPlayer;
}
namespace Item {
class CItem;
}

class CGameDataManager : private boost::noncopyable, public Actor::IPlayerEquipment {
public:
    static constexpr int32_t kGlobalCount = 1024;
    static constexpr int32_t kCategoryCount = 14;
    static constexpr int32_t kRankingCount = 5;
    static constexpr int32_t kMaxMoney = 999999;
    static constexpr const char16_t* kPlayerFolder = u"Actor/Player/HERO/";
    // Kinds of the music stream source.
    static constexpr uint32_t kStreamSource = 1;

    using ItemList = Orvex::System::shared_vector_ptr<Item::CItem>;
    using UnidentifiedItemMap = Orvex::System::binary_search_map<uint32_t, Item::CUnidentifiedItemInfo>;
    using Ranking = std::array<CResultInfo, kRankingCount>;

    // Resets everything, which creates the player.
    explicit CGameDataManager(IGameContext& context);
    ~CGameDataManager() override;

    // Indices outside 0..1023 read 0 (false) and ignore writes: scripts pass them unchecked.
    bool getGlobalFlag(int32_t index) const;
    void setGlobalFlag(int32_t index, bool value);
    int32_t getGlobalInt(int32_t index) const;
    void setGlobalInt(int32_t index, int32_t value);
    float getGlobalFloat(int32_t index) const;
    void setGlobalFloat(int32_t index, float value);

    const std::shared_ptr<Actor::CPlayer>& getPlayer() const { return player_; }
    // Releases the player and sets up a new one; no player when the set-up fails.
    void createPlayer();
    // Takes a player read from a save in place of the current one; it keeps its belongings
    // through this manager.
    void setPlayer(std::shared_ptr<Actor::CPlayer> player);
    int32_t getPlayerMoney() const { return money_; }
    // Keeps the money at most 999999.
    void setPlayerMoney(int32_t value);
    // Money read from an old save, which is taken as it was stored.
    void loadPlayerMoney(int32_t value) { money_ = value; }

    // Null for a category outside 0..13.
    ItemList* getStorageItemList(int32_t category);

    std::shared_ptr<Item::CItem> getEquippedWeaponItem() const override;
    std::shared_ptr<Item::CItem> getEquippedShieldItem() const override;
    std::shared_ptr<Item::CItem> getEquippedAmuletItem() const override;
    // Null clears the slot and gives -1; an item of another category or not carried by the
    // player gives -1 and changes nothing; else its index in the player's list is stored.
    int32_t setEquippedWeaponItem(const Item::CItem* item) override;
    int32_t setEquippedShieldItem(const Item::CItem* item) override;
    int32_t setEquippedAmuletItem(const Item::CItem* item) override;
    int32_t getEquippedWeaponIndex() const override { return weaponIndex_; }
    int32_t getEquippedShieldIndex() const override { return shieldIndex_; }
    int32_t getEquippedAmuletIndex() const override { return amuletIndex_; }
    void setEquippedWeaponIndex(int32_t index) override { weaponIndex_ = index; }
    void setEquippedShieldIndex(int32_t index) override { shieldIndex_ = index; }
    void setEquippedAmuletIndex(int32_t index) override { amuletIndex_ = index; }
    void detachEquippedItem(const Item::CItem* item) override;

    // Takes the item out of the player's list, keeping the other equipped items equipped.
    std::shared_ptr<Item::CItem> removePlayerItem(const Item::CItem* item);
    // From the player into the storage list of the item's category.
    void dropPlayerItem(const Item::CItem* item);
    std::shared_ptr<Item::CItem> removeStorageItem(const Item::CItem* item);
    void storageItemToPlayer(const Item::CItem* item);
    void clearPlayerBelongings();
    // Equipped items first (shield, weapon, amulet), then by category and display name.
    void sortPlayerItems();

    // Starts the music at the path; without force a path that already plays is left alone
    // (false).
    // The music calls may come from a floor's worker thread while the game thread reads the
    // source, so the record is guarded.
    bool playBGM(const std::u16string& path, bool force);
    void stopBGM();
    CBGMInfo& getBGMInfo() { return bgm_; }
    // The source that plays now, or null; the caller's copy stays valid after a change.
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getBGMSource();

    void addRankingRecord(const CResultInfo& record);
    void setDefaultRankings();
    const Ranking& getRankingByScore() const { return rankingByScore_; }
    const Ranking& getRankingByTime() const { return rankingByTime_; }
    const Ranking& getRankingByTurns() const { return rankingByTurns_; }
    // The three lists in saved order (score, time, turns), for the common save.
    std::array<Ranking*, 3> getRankingLists() { return {&rankingByScore_, &rankingByTime_, &rankingByTurns_}; }

    Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) { return unidentifiedItems_.find(itemId); }
    UnidentifiedItemMap& getUnidentifiedItems() { return unidentifiedItems_; }

    float getRunTime() const { return runTime_; }
    void setRunTime(float seconds) { runTime_ = seconds; }
    uint32_t getRunTurns() const { return runTurns_; }
    void setRunTurns(uint32_t turns) { runTurns_ = turns; }
    // Floors generate at most one enemy per multiple of their interval; the mark of the last
    // one lasts the whole run, so a floor entered on such a turn does not generate again at once.
    bool getEnemyGenerated() const { return enemyGenerated_; }
    void setEnemyGenerated(bool generated) { enemyGenerated_ = generated; }

    void reset();

private:
    std::shared_ptr<Item::CItem> itemAt(int32_t index) const;
    int32_t equip(int32_t& slot, int32_t category, const Item::CItem* item);
    void restoreEquipment(const std::shared_ptr<Item::CItem>& weapon, const std::shared_ptr<Item::CItem>& shield,
                          const std::shared_ptr<Item::CItem>& amulet);

    IGameContext& context_;
    std::mutex bgmLock_;
    CBGMInfo bgm_;
    std::array<uint8_t, kGlobalCount> globalFlags_{};
    std::array<int32_t, kGlobalCount> globalInts_{};
    std::array<float, kGlobalCount> globalFloats_{};
    Ranking rankingByScore_{};
    Ranking rankingByTime_{};
    Ranking rankingByTurns_{};
    std::shared_ptr<Actor::CPlayer> player_;
    int32_t money_ = 0;
    std::array<ItemList, kCategoryCount> storage_;
    int32_t weaponIndex_ = -1;
    int32_t shieldIndex_ = -1;
    int32_t amuletIndex_ = -1;
    UnidentifiedItemMap unidentifiedItems_;
    float runTime_ = 0.0f;
    uint32_t runTurns_ = 0;
    bool enemyGenerated_ = false;
};

}  // namespace Fenwarrow
