#include "game/save/CGameSerializer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/serialization/OxSerializer.h"
#include "game/actor/CPlayer.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/save/SaveRecords.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow {

using Orvex::Serialization::OxSerializer;

namespace {

constexpr int32_t kGlobals = CGameDataManager::kGlobalCount;

void writeGlobals(OxSerializer& serializer, const CGameDataManager& data) {
    for (int32_t i = 0; i < kGlobals; ++i) {
        serializer.writeByte(data.getGlobalFlag(i) ? 1 : 0);
    }
    for (int32_t i = 0; i < kGlobals; ++i) {
        serializer.write32(data.getGlobalInt(i));
    }
    for (int32_t i = 0; i < kGlobals; ++i) {
        serializer.write32(data.getGlobalFloat(i));
    }
}

}  // namespace

CGameSerializer::CGameSerializer(IGameContext& game, CSettingDataManager& settings, int32_t currentSceneId)
    : game_(game), settings_(settings), currentSceneId_(currentSceneId) {}

bool CGameSerializer::serialize(OxSerializer& serializer) {
    CGameDataManager* data = game_.getGameDataManager();
    if (data == nullptr || data->getPlayer() == nullptr) {
        return false;
    }
    data->setGlobalInt(kSavedSceneInt, currentSceneId_);
    writeGlobals(serializer, *data);
    for (CGameDataManager::Ranking* ranking : data->getRankingLists()) {
        for (const CResultInfo& record : *ranking) {
            serializer.writeBlock(&record, sizeof(record));
        }
    }
    serializer.write32(data->getPlayerMoney());
    serializer.write32(data->getEquippedWeaponIndex());
    serializer.write32(data->getEquippedShieldIndex());
    serializer.write32(data->getEquippedAmuletIndex());
    CGameDataManager::UnidentifiedItemMap& table = data->getUnidentifiedItems();
    serializer.write32(static_cast<uint32_t>(table.count()));
    for (auto& entry : table) {
        serializer.write32(entry.key);
        uint8_t bytes[SaveRecords::kUnidentifiedBytes];
        SaveRecords::encodeUnidentified(entry.value, bytes);
        serializer.writeBlock(bytes, sizeof(bytes));
    }
    if (!serializeActor(serializer, *data->getPlayer())) {
        return false;
    }
    for (int32_t category = 0; category < CGameDataManager::kCategoryCount; ++category) {
        std::vector<const Item::CItem*> listed;
        for (const auto& item : *data->getStorageItemList(category)) {
            if (item != nullptr && item->isListedOnFloor()) {
                listed.push_back(item.get());
            }
        }
        serializer.write32(static_cast<uint32_t>(listed.size()));
        for (const Item::CItem* item : listed) {
            if (!serializeItem(serializer, *item)) {
                return false;
            }
        }
    }
    return settings_.serialize(serializer);
}

bool CGameSerializer::deserialize(OxSerializer& serializer) {
    lastError_.clear();
    CGameDataManager* data = game_.getGameDataManager();
    if (data == nullptr || serializer.isWriting()) {
        return refuse("there is no game data to read it into", serializer.getPosition());
    }
    data->reset();
    if (readBody(serializer, *data)) {
        const uint32_t settingsStart = serializer.getPosition();
        if (settings_.serialize(serializer)) {
            return true;
        }
        refuse("the scene settings end early", settingsStart);
    }
    data->reset();
    return false;
}

bool CGameSerializer::refuse(const std::string& what, uint32_t at) {
    lastError_ = what + " (body byte " + std::to_string(at) + ")";
    return false;
}

void CGameSerializer::readGlobals(OxSerializer& serializer, CGameDataManager& data) {
    for (int32_t i = 0; i < kGlobals; ++i) {
        uint8_t flag = 0;
        serializer.readByte(flag);
        data.setGlobalFlag(i, flag != 0);
    }
    for (int32_t i = 0; i < kGlobals; ++i) {
        int32_t value = 0;
        serializer.read32(value);
        data.setGlobalInt(i, value);
    }
    for (int32_t i = 0; i < kGlobals; ++i) {
        float value = 0.0f;
        serializer.read32(value);
        data.setGlobalFloat(i, value);
    }
}

bool CGameSerializer::readBody(OxSerializer& serializer, CGameDataManager& data) {
    readGlobals(serializer, data);
    if (serializer.hasReadFailed()) {
        return refuse("the global flags, integers and reals end early", 0);
    }
    int32_t index = 0;
    for (CGameDataManager::Ranking* ranking : data.getRankingLists()) {
        for (CResultInfo& record : *ranking) {
            if (!serializer.readBlock(&record, sizeof(record))) {
                return refuse("ranking record " + std::to_string(index) + " ends early", serializer.getPosition());
            }
            ++index;
        }
    }
    uint32_t money = 0;
    int32_t weapon = -1;
    int32_t shield = -1;
    int32_t amulet = -1;
    if (!serializer.read32(money) || !serializer.read32(weapon) || !serializer.read32(shield) ||
        !serializer.read32(amulet)) {
        return refuse("the money and the equipment end early", serializer.getPosition());
    }
    // Read as unsigned, so a forged value past 2^31 is as large as it looks, not negative.
    data.setPlayerMoney(static_cast<int32_t>(std::min<uint32_t>(money, CGameDataManager::kMaxMoney)));
    uint32_t entries = 0;
    if (!serializer.readCount(entries, 4 + SaveRecords::kUnidentifiedBytes)) {
        return refuse("the identification table counts more entries than the body holds", serializer.getPosition());
    }
    for (uint32_t i = 0; i < entries; ++i) {
        uint32_t itemId = 0;
        uint8_t bytes[SaveRecords::kUnidentifiedBytes];
        if (!serializer.read32(itemId) || !serializer.readBlock(bytes, sizeof(bytes))) {
            return refuse("identification entry " + std::to_string(i) + " ends early", serializer.getPosition());
        }
        data.getUnidentifiedItems().insertOrAssign(itemId, SaveRecords::decodeUnidentified(bytes));
    }
    std::shared_ptr<Actor::CActor> actor;
    const uint32_t playerStart = serializer.getPosition();
    if (!deserializeActor(serializer, game_, actor)) {
        return refuse("the player's record cannot be read (its actor, items or script data)", playerStart);
    }
    auto player = std::dynamic_pointer_cast<Actor::CPlayer>(actor);
    if (player == nullptr) {
        return refuse("the player's record is not a player's", playerStart);
    }
    data.setPlayer(player);
    // An index past the player's list (a forged or edited file) equips nothing.
    const auto carried = static_cast<int32_t>(player->getItemList().size());
    const auto fit = [carried](int32_t index) { return index >= 0 && index < carried ? index : -1; };
    data.setEquippedWeaponIndex(fit(weapon));
    data.setEquippedShieldIndex(fit(shield));
    data.setEquippedAmuletIndex(fit(amulet));
    for (int32_t category = 0; category < CGameDataManager::kCategoryCount; ++category) {
        const std::string list = "storage list " + std::to_string(category);
        uint32_t count = 0;
        if (!serializer.readCount(count, SaveRecords::kMinItemBytes)) {
            return refuse(list + " counts more items than the body holds", serializer.getPosition());
        }
        for (uint32_t i = 0; i < count; ++i) {
            std::shared_ptr<Item::CItem> item;
            const uint32_t itemStart = serializer.getPosition();
            if (!deserializeItem(serializer, game_, item)) {
                return refuse(
                    list + ": item " + std::to_string(i) + " cannot be read (an unknown item or a short record)",
                    itemStart);
            }
            if (!item->isListedOnFloor()) {
                return refuse(list + ": item " + std::to_string(i) + " is of a kind never kept in storage", itemStart);
            }
            data.getStorageItemList(category)->push_back(item);
        }
    }
    return !serializer.hasReadFailed() || refuse("the body ends early", serializer.getPosition());
}

}  // namespace Fenwarrow
