#include "game/gamedata/CGameDataManager.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "game/actor/CPlayer.h"
#include "game/item/CItem.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow {

namespace {

using Item::CItem;

bool inGlobalRange(int32_t index) { return index >= 0 && index < CGameDataManager::kGlobalCount; }

struct SampleRecord {
    const char16_t* name;
    int32_t score;
    int32_t level;
    float life;
    int32_t force;
    float hunger;
    const char16_t* weapon;
    const char16_t* shield;
    const char16_t* amulet;
    float playTime;
    int32_t turns;
};

constexpr SampleRecord kSampleRecords[] = {
    {u"灯守", 50000, 20, 120.0f, 12, 80.0f, u"鉄の剣", u"木の盾", u"旅の守り", 3600.0f, 4000},
    {u"渡り鳥", 30000, 15, 90.0f, 10, 60.0f, u"銅の剣", u"木の盾", u"旅の守り", 4500.0f, 5000},
    {u"砂丘の子", 15000, 10, 70.0f, 9, 50.0f, u"銅の剣", u"革の盾", u"", 5400.0f, 6000},
    {u"見習い", 8000, 6, 50.0f, 8, 40.0f, u"木の棒", u"", u"", 6300.0f, 7000},
    {u"迷い人", 3000, 3, 30.0f, 8, 30.0f, u"", u"", u"", 7200.0f, 8000},
};

constexpr const char16_t* kSampleDungeon = u"デモダンジョン";
constexpr int32_t kSampleLastFloor = 3;

// A sample record's equipment as the result writes a dive's own: the item's icon and its name;
// an empty slot stays empty.
std::u16string sampleEquipmentText(int32_t itemType, const char16_t* name) {
    const std::u16string text = name;
    if (text.empty()) {
        return text;
    }
    return u"<#" + std::u16string(Item::CItem::getItemTypeName(itemType)) + u":ICON>" + text;
}

// The valid records of a list followed by the new one, stably sorted, back into the list.
template <typename Before>
void enterRecord(CGameDataManager::Ranking& ranking, const CResultInfo& record, Before before) {
    std::vector<CResultInfo> entries;
    for (const CResultInfo& entry : ranking) {
        if (entry.valid != 0) {
            entries.push_back(entry);
        }
    }
    entries.push_back(record);
    std::memset(ranking.data(), 0, sizeof(CResultInfo) * ranking.size());
    std::stable_sort(entries.begin(), entries.end(), before);
    std::copy_n(entries.begin(), std::min(entries.size(), ranking.size()), ranking.begin());
}

}  // namespace

CGameDataManager::CGameDataManager(IGameContext& context) : context_(context) { reset(); }

CGameDataManager::~CGameDataManager() {
    // The player's scripts may still read the game data: it goes while the data are whole. A
    // floor may still hold it, so it must not reach the equipment kept here any more.
    if (player_ != nullptr) {
        player_->setEquipmentKeeper(nullptr);
    }
    player_.reset();
}

bool CGameDataManager::getGlobalFlag(int32_t index) const { return inGlobalRange(index) && globalFlags_[index] != 0; }

void CGameDataManager::setGlobalFlag(int32_t index, bool value) {
    if (inGlobalRange(index)) {
        globalFlags_[index] = value ? 1 : 0;
    }
}

int32_t CGameDataManager::getGlobalInt(int32_t index) const { return inGlobalRange(index) ? globalInts_[index] : 0; }

void CGameDataManager::setGlobalInt(int32_t index, int32_t value) {
    if (inGlobalRange(index)) {
        globalInts_[index] = value;
    }
}

float CGameDataManager::getGlobalFloat(int32_t index) const {
    return inGlobalRange(index) ? globalFloats_[index] : 0.0f;
}

void CGameDataManager::setGlobalFloat(int32_t index, float value) {
    if (inGlobalRange(index)) {
        globalFloats_[index] = value;
    }
}

void CGameDataManager::createPlayer() {
    player_.reset();
    auto player = std::make_shared<Actor::CPlayer>(context_);
    // Set-up scripts may equip the starting items.
    player->setEquipmentKeeper(this);
    if (player->setup(kPlayerFolder)) {
        player_ = std::move(player);
        unidentifiedItems_.clear();
    }
}

void CGameDataManager::setPlayer(std::shared_ptr<Actor::CPlayer> player) {
    player_ = std::move(player);
    if (player_ != nullptr) {
        player_->setEquipmentKeeper(this);
    }
}

void CGameDataManager::setPlayerMoney(int32_t value) { money_ = std::min(value, kMaxMoney); }

CGameDataManager::ItemList* CGameDataManager::getStorageItemList(int32_t category) {
    return category >= 0 && category < kCategoryCount ? &storage_[category] : nullptr;
}

std::shared_ptr<CItem> CGameDataManager::itemAt(int32_t index) const {
    if (player_ == nullptr || index < 0) {
        return {};
    }
    return player_->getItemList().at(static_cast<std::size_t>(index));
}

std::shared_ptr<CItem> CGameDataManager::getEquippedWeaponItem() const { return itemAt(weaponIndex_); }

std::shared_ptr<CItem> CGameDataManager::getEquippedShieldItem() const { return itemAt(shieldIndex_); }

std::shared_ptr<CItem> CGameDataManager::getEquippedAmuletItem() const { return itemAt(amuletIndex_); }

int32_t CGameDataManager::equip(int32_t& slot, int32_t category, const CItem* item) {
    if (item == nullptr) {
        slot = -1;
        return -1;
    }
    if (item->getItemType() != category || player_ == nullptr) {
        return -1;
    }
    const int32_t index = player_->findItem(item);
    if (index >= 0) {
        slot = index;
    }
    return index;
}

int32_t CGameDataManager::setEquippedWeaponItem(const CItem* item) { return equip(weaponIndex_, CItem::kWeapon, item); }

int32_t CGameDataManager::setEquippedShieldItem(const CItem* item) { return equip(shieldIndex_, CItem::kShield, item); }

int32_t CGameDataManager::setEquippedAmuletItem(const CItem* item) { return equip(amuletIndex_, CItem::kAmulet, item); }

void CGameDataManager::detachEquippedItem(const CItem* item) {
    if (item == nullptr) {
        return;
    }
    switch (item->getItemType()) {
        case CItem::kShield:
            if (getEquippedShieldItem().get() == item) {
                shieldIndex_ = -1;
                player_->getExtraSprite(Actor::CActor::kShieldSprite)->clear();
            }
            break;
        case CItem::kWeapon:
            if (getEquippedWeaponItem().get() == item) {
                weaponIndex_ = -1;
                player_->getExtraSprite(Actor::CActor::kWeaponSprite)->clear();
            }
            break;
        case CItem::kAmulet:
            if (getEquippedAmuletItem().get() == item) {
                amuletIndex_ = -1;
            }
            break;
        default:
            break;
    }
}

void CGameDataManager::restoreEquipment(const std::shared_ptr<CItem>& weapon, const std::shared_ptr<CItem>& shield,
                                        const std::shared_ptr<CItem>& amulet) {
    weaponIndex_ = player_->findItem(weapon.get());
    shieldIndex_ = player_->findItem(shield.get());
    amuletIndex_ = player_->findItem(amulet.get());
}

std::shared_ptr<CItem> CGameDataManager::removePlayerItem(const CItem* item) {
    if (item == nullptr || player_ == nullptr) {
        return {};
    }
    const std::shared_ptr<CItem> weapon = getEquippedWeaponItem();
    const std::shared_ptr<CItem> shield = getEquippedShieldItem();
    const std::shared_ptr<CItem> amulet = getEquippedAmuletItem();
    detachEquippedItem(item);
    std::shared_ptr<CItem> removed = player_->removeItem(item);
    // The list has shifted: find the remaining equipped items again.
    restoreEquipment(weapon.get() != item ? weapon : nullptr, shield.get() != item ? shield : nullptr,
                     amulet.get() != item ? amulet : nullptr);
    return removed;
}

void CGameDataManager::dropPlayerItem(const CItem* item) {
    if (item == nullptr) {
        return;
    }
    std::shared_ptr<CItem> removed = removePlayerItem(item);
    if (ItemList* list = removed != nullptr ? getStorageItemList(removed->getItemType()) : nullptr) {
        list->push_back(std::move(removed));
    }
}

std::shared_ptr<CItem> CGameDataManager::removeStorageItem(const CItem* item) {
    ItemList* list = item != nullptr ? getStorageItemList(item->getItemType()) : nullptr;
    if (list == nullptr) {
        return {};
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
        if (list->at(i).get() == item) {
            return list->removeAt(i);
        }
    }
    return {};
}

void CGameDataManager::storageItemToPlayer(const CItem* item) {
    std::shared_ptr<CItem> removed = removeStorageItem(item);
    if (removed != nullptr && player_ != nullptr) {
        player_->addItem(removed);
    }
}

void CGameDataManager::clearPlayerBelongings() {
    if (player_ != nullptr) {
        while (!player_->getItemList().empty()) {
            player_->removeItem(player_->getItemList().at(0).get());
        }
    }
    money_ = 0;
    weaponIndex_ = shieldIndex_ = amuletIndex_ = -1;
    unidentifiedItems_.clear();
}

void CGameDataManager::sortPlayerItems() {
    if (player_ == nullptr) {
        return;
    }
    const std::shared_ptr<CItem> weapon = getEquippedWeaponItem();
    const std::shared_ptr<CItem> shield = getEquippedShieldItem();
    const std::shared_ptr<CItem> amulet = getEquippedAmuletItem();

    std::array<std::shared_ptr<CItem>, kCategoryCount> equipped;
    std::array<std::vector<std::shared_ptr<CItem>>, kCategoryCount> byCategory;
    std::vector<std::shared_ptr<CItem>> unsorted;
    for (const auto& item : player_->getItemList()) {
        const int32_t category = item->getItemType();
        const bool isEquipped = item == weapon || item == shield || item == amulet;
        if (category < 0 || category >= kCategoryCount) {
            unsorted.push_back(item);  // not a category of the game; kept at the end
        } else if (isEquipped) {
            equipped[category] = item;
        } else {
            byCategory[category].push_back(item);
        }
    }
    while (!player_->getItemList().empty()) {
        player_->removeItem(player_->getItemList().at(0).get());
    }
    for (auto& list : byCategory) {
        std::vector<std::pair<std::u16string, std::shared_ptr<CItem>>> keyed;
        for (auto& item : list) {
            keyed.emplace_back(item->getDisplayName(false), item);
        }
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i] = keyed[i].second;
        }
    }
    for (const auto& item : equipped) {
        if (item != nullptr) {
            player_->addItem(item);
        }
    }
    for (const auto& list : byCategory) {
        for (const auto& item : list) {
            player_->addItem(item);
        }
    }
    for (const auto& item : unsorted) {
        player_->addItem(item);
    }
    restoreEquipment(weapon, shield, amulet);
}

bool CGameDataManager::playBGM(const std::u16string& path, bool force) {
    std::lock_guard<std::mutex> lock(bgmLock_);
    if (!force && path == bgm_.path) {
        return false;
    }
    if (bgm_.source != nullptr) {
        bgm_.source->stop();
        bgm_.reset();
    }
    bgm_.path = path;
    const auto device = context_.getAudioDevice();
    if (device == nullptr) {
        return false;
    }
    bgm_.source = device->createSource(path, &context_.getMusicReader(), kStreamSource);
    if (bgm_.source == nullptr) {
        return false;
    }
    bgm_.source->setLoopCount(0xFFFFFFFFu);
    bgm_.source->play();
    return true;
}

std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> CGameDataManager::getBGMSource() {
    std::lock_guard<std::mutex> lock(bgmLock_);
    return bgm_.source;
}

void CGameDataManager::stopBGM() {
    std::lock_guard<std::mutex> lock(bgmLock_);
    if (bgm_.source != nullptr) {
        bgm_.source->stop();
        bgm_.reset();
    }
}

void CGameDataManager::addRankingRecord(const CResultInfo& record) {
    enterRecord(rankingByScore_, record, [](const CResultInfo& a, const CResultInfo& b) { return a.score > b.score; });
    if (record.cleared == 0) {
        return;
    }
    enterRecord(rankingByTime_, record,
                [](const CResultInfo& a, const CResultInfo& b) { return a.playTime < b.playTime; });
    enterRecord(rankingByTurns_, record,
                [](const CResultInfo& a, const CResultInfo& b) { return a.turnCount < b.turnCount; });
}

void CGameDataManager::setDefaultRankings() {
    for (const SampleRecord& sample : kSampleRecords) {
        CResultInfo record{};
        record.valid = 1;
        record.score = sample.score;
        CResultInfo::setText(record.playerName, sample.name);
        Actor::CActorStatus status;
        status.setLevel(sample.level);
        status.setMaxLife(sample.life);
        status.setLife(sample.life);
        status.setMaxForce(sample.force);
        status.setForce(sample.force);
        status.setHungerPoint(sample.hunger);
        record.status = CResultActorStatus{status.getDirection(),
                                           status.getTurnCount(),
                                           status.getLevel(),
                                           status.getMaxLife(),
                                           status.getLife(),
                                           status.getMaxHungerPoint(),
                                           status.getHungerPoint(),
                                           status.getMaxForce(),
                                           status.getForce(),
                                           status.getAttack(),
                                           status.getDefense(),
                                           status.getPower(),
                                           status.getEXP(),
                                           0,
                                           0,
                                           1,
                                           {}};
        CResultInfo::setText(record.weaponText, sampleEquipmentText(Item::CItem::kWeapon, sample.weapon));
        CResultInfo::setText(record.shieldText, sampleEquipmentText(Item::CItem::kShield, sample.shield));
        CResultInfo::setText(record.amuletText, sampleEquipmentText(Item::CItem::kAmulet, sample.amulet));
        // Each sample cleared the demo dungeon, so that its result reads as a real one does.
        CResultInfo::setText(record.text3, kSampleDungeon);
        record.value = kSampleLastFloor;
        record.playTime = sample.playTime;
        record.turnCount = sample.turns;
        record.cleared = 1;
        addRankingRecord(record);
    }
}

void CGameDataManager::reset() {
    bgm_.reset();
    globalFlags_.fill(0);
    globalInts_.fill(0);
    globalFloats_.fill(0.0f);
    for (Ranking* ranking : {&rankingByScore_, &rankingByTime_, &rankingByTurns_}) {
        std::memset(ranking->data(), 0, sizeof(CResultInfo) * ranking->size());
    }
    runTime_ = 0.0f;
    runTurns_ = 0;
    enemyGenerated_ = false;
    setDefaultRankings();
    createPlayer();
    money_ = 0;
    for (ItemList& list : storage_) {
        list.clear();
    }
    weaponIndex_ = shieldIndex_ = amuletIndex_ = -1;
    unidentifiedItems_.clear();
}

}  // namespace Fenwarrow
