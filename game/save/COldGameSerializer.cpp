#include "game/save/COldGameSerializer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/serialization/OxSerializer.h"
#include "game/actor/CActor.h"
#include "game/actor/CPlayer.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/save/CGameSerializer.h"
#include "game/save/SaveRecords.h"
#include "game/save/oldcondition/CConditionController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/SettingRecords.h"

namespace Fenwarrow {

using Orvex::Serialization::OxSerializer;

namespace {

// The old result record: three texts of 256 units, the last floor number and four flags.
constexpr std::size_t kOldText2 = 512;
constexpr std::size_t kOldFloorNumber = 1024;
constexpr std::size_t kOldText3 = 1028;
constexpr std::size_t kOldFlags = 1540;
// The old flags land on these flags of the current record.
constexpr std::size_t kFlagTargets[4] = {1, 2, 3, 5};
// What of each old text is taken: the first 128 units.
constexpr std::size_t kTakenUnits = 128;

// The first 128 units of the old text go over the first 128 of the field; a text that fills
// them all is ended right after them, so the field stays terminated.
void takeText(std::array<char16_t, kResultTextUnits>& field, const uint8_t* old) {
    bool ended = false;
    for (std::size_t i = 0; i < kTakenUnits; ++i) {
        field[i] = static_cast<char16_t>(old[2 * i] | (old[2 * i + 1] << 8));
        ended = ended || field[i] == u'\0';
    }
    if (!ended) {
        field[kTakenUnits] = u'\0';
    }
}

bool readOldItem(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Item::CItem>& out) {
    return SaveRecords::readItemRecord(serializer, context, out, false);
}

}  // namespace

bool deserializeOldItem(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Item::CItem>& out) {
    return readOldItem(serializer, context, out);
}

bool deserializeOldActor(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Actor::CActor>& out) {
    out.reset();
    std::u16string folder;
    uint32_t type = 0;
    if (!serializer.readWString(folder) || !serializer.read32(type)) {
        return false;
    }
    std::shared_ptr<Actor::CActor> actor = SaveRecords::makeActor(context, type);
    if (actor == nullptr || !actor->setup(folder)) {
        return false;
    }
    uint8_t lock = 0;
    uint8_t status[SaveRecords::kActorStatusBytes];
    if (!serializer.readByte(lock) || !SaveRecords::serializeCellObjectPart(serializer, *actor) ||
        !serializer.readBlock(status, sizeof(status))) {
        return false;
    }
    actor->setMotionLock(lock);
    SaveRecords::decodeActorStatus(status, actor->getStatus());
    {
        // The old conditions are read past and dropped: the actor keeps its own, all off.
        Actor::OldCondition::CConditionController oldConditions(actor.get());
        if (!oldConditions.serialize(serializer)) {
            return false;
        }
    }
    uint32_t count = 0;
    if (!serializer.readCount(count, SaveRecords::kMinItemBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        std::shared_ptr<Item::CItem> item;
        if (!readOldItem(serializer, context, item)) {
            return false;
        }
        actor->addItem(item);
    }
    if (!SaveRecords::serializeSprites(serializer, *actor)) {
        return false;
    }
    callActorSerializeCommand(*actor, serializer);
    if (serializer.hasReadFailed()) {
        return false;
    }
    actor->validateStatus();
    out = std::move(actor);
    return true;
}

COldGameSerializer::COldGameSerializer(IGameContext& game, CSettingDataManager& settings)
    : game_(game), settings_(settings) {}

bool COldGameSerializer::deserialize(OxSerializer& serializer) {
    lastError_.clear();
    CGameDataManager* data = game_.getGameDataManager();
    if (data == nullptr || serializer.isWriting()) {
        return refuse("there is no game data to read it into", serializer.getPosition());
    }
    data->reset();
    if (readBody(serializer, *data) && readSettings(serializer)) {
        return true;
    }
    data->reset();
    return false;
}

bool COldGameSerializer::refuse(const std::string& what, uint32_t at) {
    lastError_ = what + " (file byte " + std::to_string(at) + ")";
    return false;
}

bool COldGameSerializer::readBody(OxSerializer& serializer, CGameDataManager& data) {
    const uint32_t globalsStart = serializer.getPosition();
    CGameSerializer::readGlobals(serializer, data);
    if (serializer.hasReadFailed()) {
        return refuse("the global flags, integers and reals end early", globalsStart);
    }
    int32_t money = 0;
    int32_t weapon = -1;
    int32_t shield = -1;
    int32_t amulet = -1;
    if (!serializer.read32(money) || !serializer.read32(weapon) || !serializer.read32(shield) ||
        !serializer.read32(amulet)) {
        return refuse("the money and the equipment end early", serializer.getPosition());
    }
    data.loadPlayerMoney(money);
    std::shared_ptr<Actor::CActor> actor;
    const uint32_t playerStart = serializer.getPosition();
    if (!deserializeOldActor(serializer, game_, actor)) {
        return refuse("the player's record cannot be read (its actor, items or script data)", playerStart);
    }
    auto player = std::dynamic_pointer_cast<Actor::CPlayer>(actor);
    if (player == nullptr) {
        return refuse("the player's record is not a player's", playerStart);
    }
    data.setPlayer(player);
    const auto carried = static_cast<int32_t>(player->getItemList().size());
    const auto fit = [carried](int32_t index) { return index >= 0 && index < carried ? index : -1; };
    data.setEquippedWeaponIndex(fit(weapon));
    data.setEquippedShieldIndex(fit(shield));
    data.setEquippedAmuletIndex(fit(amulet));
    for (int32_t category = 0; category < CGameDataManager::kCategoryCount; ++category) {
        const std::string list = "storage list " + std::to_string(category);
        uint32_t count = 0;
        if (!serializer.readCount(count, SaveRecords::kMinItemBytes)) {
            return refuse(list + " counts more items than the file holds", serializer.getPosition());
        }
        for (uint32_t i = 0; i < count; ++i) {
            std::shared_ptr<Item::CItem> item;
            const uint32_t itemStart = serializer.getPosition();
            if (!deserializeOldItem(serializer, game_, item)) {
                return refuse(
                    list + ": item " + std::to_string(i) + " cannot be read (an unknown item or a short record)",
                    itemStart);
            }
            data.getStorageItemList(category)->push_back(item);
        }
    }
    return !serializer.hasReadFailed() || refuse("the file ends early", serializer.getPosition());
}

bool COldGameSerializer::readSettings(OxSerializer& serializer) {
    // Copies first, so a short record leaves the settings whole.
    CDungeonSetting dungeon = settings_.getDungeonSetting();
    CPathSetting adv = settings_.getADVSetting();
    CPathSetting movie = settings_.getMovieSetting();
    CWorldMapSetting worldMap = settings_.getWorldMapSetting();
    uint8_t old[kOldResultBytes];
    const uint32_t settingsStart = serializer.getPosition();
    if (!serializeDungeonSetting(serializer, dungeon) || !serializePathSetting(serializer, adv) ||
        !serializePathSetting(serializer, movie) || !serializeWorldMapSetting(serializer, worldMap) ||
        !serializer.readBlock(old, sizeof(old)) || !serializeDungeonSetting(serializer, dungeon)) {
        return refuse("the scene settings end early", settingsStart);
    }
    settings_.getDungeonSetting() = dungeon;
    settings_.getADVSetting() = adv;
    settings_.getMovieSetting() = movie;
    settings_.getWorldMapSetting() = worldMap;
    CResultSetting& result = settings_.getResultSetting();
    takeText(result.damageSourceName, old);
    takeText(result.damageName, old + kOldText2);
    result.lastFloorNumber =
        static_cast<int32_t>(old[kOldFloorNumber] | (old[kOldFloorNumber + 1] << 8) | (old[kOldFloorNumber + 2] << 16) |
                             (static_cast<uint32_t>(old[kOldFloorNumber + 3]) << 24));
    takeText(result.lastFloorName, old + kOldText3);
    for (std::size_t i = 0; i < std::size(kFlagTargets); ++i) {
        result.flags[kFlagTargets[i]] = old[kOldFlags + i];
    }
    return true;
}

}  // namespace Fenwarrow
