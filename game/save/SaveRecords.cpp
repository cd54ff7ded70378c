#include "game/save/SaveRecords.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "engine/serialization/OxSerializer.h"
#include "game/actor/CActor.h"
#include "game/actor/CActorStatus.h"
#include "game/actor/CEnemy.h"
#include "game/actor/CNonPlayer.h"
#include "game/actor/CPlayer.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/item/CItemStatus.h"
#include "game/item/CUnidentifiedItemInfo.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow {

using Orvex::Serialization::OxSerializer;

namespace SaveRecords {
namespace {

constexpr std::size_t kNameUnits = 64;
constexpr std::size_t kSpriteCount = 4;

void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}
void putInt(uint8_t* at, int32_t value) { put32(at, static_cast<uint32_t>(value)); }
void putFloat(uint8_t* at, float value) { put32(at, std::bit_cast<uint32_t>(value)); }

uint32_t get32(const uint8_t* at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(at[i]) << (8 * i);
    }
    return value;
}
int32_t getInt(const uint8_t* at) { return static_cast<int32_t>(get32(at)); }
float getFloat(const uint8_t* at) { return std::bit_cast<float>(get32(at)); }

// A fixed field of `units` UTF-16 units: the text cut to leave a terminator, zero-filled.
void putText(uint8_t* at, std::size_t units, const std::u16string& text) {
    const std::size_t count = std::min(text.size(), units - 1);
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = i < count ? text[i] : u'\0';
        at[2 * i] = static_cast<uint8_t>(unit & 0xFF);
        at[2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
}

std::u16string getText(const uint8_t* at, std::size_t units) {
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(at[2 * i] | (at[2 * i + 1] << 8));
        if (unit == u'\0') {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

}  // namespace

bool serializeRaw(OxSerializer& serializer, void* bytes, std::size_t count) {
    if (serializer.isWriting()) {
        serializer.writeBlock(bytes, count);
        return true;
    }
    return serializer.readBlock(bytes, count);
}

void encodeActorStatus(const Actor::CActorStatus& status, uint8_t (&bytes)[kActorStatusBytes]) {
    std::memset(bytes, 0, sizeof(bytes));
    putInt(bytes + 0, status.getDirection());
    putInt(bytes + 4, status.getTurnCount());
    putInt(bytes + 8, status.getLevel());
    putFloat(bytes + 12, status.getMaxLife());
    putFloat(bytes + 16, status.getLife());
    putFloat(bytes + 20, status.getMaxHungerPoint());
    putFloat(bytes + 24, status.getHungerPoint());
    putInt(bytes + 28, status.getMaxForce());
    putInt(bytes + 32, status.getForce());
    putFloat(bytes + 36, status.getAttack());
    putFloat(bytes + 40, status.getDefense());
    putFloat(bytes + 44, status.getPower());
    putInt(bytes + 48, status.getEXP());
    put32(bytes + 52, status.getCategoryBits());
    put32(bytes + 56, status.getStabilityBits());
    bytes[60] = status.getShown() ? 1 : 0;
}

void decodeActorStatus(const uint8_t (&bytes)[kActorStatusBytes], Actor::CActorStatus& status) {
    status.setDirection(getInt(bytes + 0));
    status.setTurnCount(getInt(bytes + 4));
    status.setLevel(getInt(bytes + 8));
    // Each maximum before its value, which the setters keep below it.
    status.setMaxLife(getFloat(bytes + 12));
    status.setLife(getFloat(bytes + 16));
    status.setMaxHungerPoint(getFloat(bytes + 20));
    status.setHungerPoint(getFloat(bytes + 24));
    status.setMaxForce(getInt(bytes + 28));
    status.setForce(getInt(bytes + 32));
    status.setAttack(getFloat(bytes + 36));
    status.setDefense(getFloat(bytes + 40));
    status.setPower(getFloat(bytes + 44));
    status.setEXP(getInt(bytes + 48));
    const uint32_t categories = get32(bytes + 52);
    const uint32_t stability = get32(bytes + 56);
    for (uint32_t bit = 0; bit < 32; ++bit) {
        status.setCategory(bit, (categories >> bit & 1u) != 0);
        status.setStabilityState(bit, (stability >> bit & 1u) != 0);
    }
    status.setShown(bytes[60] != 0);
}

void encodeItemStatus(const Item::CItemStatus& status, uint8_t (&bytes)[kItemStatusBytes]) {
    std::memset(bytes, 0, sizeof(bytes));
    putInt(bytes + 0, status.getPrice());
    putInt(bytes + 4, status.getUnitPrice());
    put32(bytes + 8, status.getUseCount());
    putInt(bytes + 12, status.getBaseAttack());
    putInt(bytes + 16, status.getAttack());
    putInt(bytes + 20, status.getBaseDefense());
    putInt(bytes + 24, status.getDefense());
    bytes[28] = status.getPoppable() ? 1 : 0;
    put32(bytes + 32, status.getSlotCount());
    for (uint32_t i = 0; i < Item::CItemStatus::kMaxSlotCount; ++i) {
        put32(bytes + 36 + 4 * i, status.getSlotAbility(i));
    }
    bytes[292] = status.getCurse() ? 1 : 0;
    bytes[293] = status.getBlessed() ? 1 : 0;
    bytes[294] = status.getFrozen() ? 1 : 0;
    bytes[295] = status.getUnidentified() ? 1 : 0;
    bytes[296] = status.getItemHolder() ? 1 : 0;
    bytes[297] = status.getUseIfTaken() ? 1 : 0;
    putInt(bytes + 300, status.getAnotherOption());
    putInt(bytes + 304, status.getShopEntryId());
    putInt(bytes + 308, status.getCellX());
    putInt(bytes + 312, status.getCellY());
}

void decodeItemStatus(const uint8_t (&bytes)[kItemStatusBytes], Item::CItemStatus& status) {
    status.setPrice(getInt(bytes + 0));
    status.setUnitPrice(getInt(bytes + 4));
    status.setUseCount(get32(bytes + 8));
    // Bases before the values kept within reach of them.
    status.setBaseAttack(getInt(bytes + 12));
    status.setAttack(getInt(bytes + 16));
    status.setBaseDefense(getInt(bytes + 20));
    status.setDefense(getInt(bytes + 24));
    status.setPoppable(bytes[28] != 0);
    // The count first: slots beyond it take no ability.
    status.setSlotCount(get32(bytes + 32));
    for (uint32_t i = 0; i < Item::CItemStatus::kMaxSlotCount; ++i) {
        status.setSlotAbility(i, get32(bytes + 36 + 4 * i));
    }
    status.setCurse(bytes[292] != 0);
    status.setBlessed(bytes[293] != 0);
    status.setFrozen(bytes[294] != 0);
    status.setUnidentified(bytes[295] != 0);
    status.setItemHolder(bytes[296] != 0);
    status.setUseIfTaken(bytes[297] != 0);
    status.setAnotherOption(getInt(bytes + 300));
    status.setShopEntryId(getInt(bytes + 304));
    status.setCellPoint(getInt(bytes + 308), getInt(bytes + 312));
}

void encodeUnidentified(const Item::CUnidentifiedItemInfo& info, uint8_t (&bytes)[kUnidentifiedBytes]) {
    std::memset(bytes, 0, sizeof(bytes));
    put32(bytes + 0, info.itemId);
    bytes[4] = info.unidentified ? 1 : 0;
    putText(bytes + 8, kNameUnits, info.name);
    putText(bytes + 8 + 2 * kNameUnits, kNameUnits, info.temporaryName);
}

Item::CUnidentifiedItemInfo decodeUnidentified(const uint8_t (&bytes)[kUnidentifiedBytes]) {
    Item::CUnidentifiedItemInfo info;
    info.itemId = get32(bytes + 0);
    info.unidentified = bytes[4] != 0;
    info.name = getText(bytes + 8, kNameUnits);
    info.temporaryName = getText(bytes + 8 + 2 * kNameUnits, kNameUnits);
    return info;
}

bool serializeCellObjectPart(OxSerializer& serializer, Dungeon::CCellObject& object) {
    if (serializer.isWriting()) {
        serializer.writeByte(object.isVisible() ? 1 : 0);
        serializer.writeWString(object.getName());
        serializer.write32(object.getAnimationSpeed());
        return true;
    }
    uint8_t visible = 0;
    std::u16string name;
    float speed = 0.0f;
    if (!serializer.readByte(visible) || !serializer.readWString(name) || !serializer.read32(speed)) {
        return false;
    }
    object.setVisible(visible != 0);
    object.setName(name);
    object.setAnimationSpeed(speed);
    return true;
}

bool serializeSprites(OxSerializer& serializer, Actor::CActor& actor) {
    const std::shared_ptr<Orvex::MossbellLib::OxMADObject> sprites[kSpriteCount] = {
        actor.getAnimation(), actor.getExtraSprite(Actor::CActor::kEffectSprite),
        actor.getExtraSprite(Actor::CActor::kWeaponSprite), actor.getExtraSprite(Actor::CActor::kShieldSprite)};
    for (const auto& sprite : sprites) {
        if (!sprite->serialize(serializer)) {
            return false;
        }
    }
    return true;
}

}  // namespace SaveRecords

namespace {

using namespace SaveRecords;

// The items of a list that a save keeps; the count written is the number of them.
template <typename List>
std::vector<const Item::CItem*> listedItems(const List& items) {
    std::vector<const Item::CItem*> listed;
    for (const auto& item : items) {
        if (item != nullptr && item->isListedOnFloor()) {
            listed.push_back(item.get());
        }
    }
    return listed;
}

bool writeItem(OxSerializer& serializer, const Item::CItem& item, int32_t depth) {
    if (depth > kMaxItemDepth) {
        return false;
    }
    // The record holds copies of the item's values; the item itself is not changed.
    auto& object = const_cast<Item::CItem&>(item);
    serializer.write32(item.getItemID());
    serializeCellObjectPart(serializer, object);
    uint8_t status[kItemStatusBytes];
    encodeItemStatus(item.getStatus(), status);
    serializer.writeBlock(status, sizeof(status));
    uint8_t weights[kItemWeightsBytes];
    for (std::size_t i = 0; i < Item::CItem::kItemTypeCount; ++i) {
        put32(weights + 4 * i, std::bit_cast<uint32_t>(object.getCategoryWeights()[i]));
    }
    serializer.writeBlock(weights, sizeof(weights));
    const std::vector<const Item::CItem*> held = listedItems(item.getItemList());
    serializer.write32(static_cast<uint32_t>(held.size()));
    for (const Item::CItem* inner : held) {
        if (!writeItem(serializer, *inner, depth + 1)) {
            return false;
        }
    }
    return true;
}

bool readItem(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Item::CItem>& out, int32_t depth,
              bool filtered) {
    out.reset();
    uint32_t itemId = 0;
    Item::CItemFactory* factory = context.getItemFactory();
    if (depth > kMaxItemDepth || factory == nullptr || !serializer.read32(itemId)) {
        return false;
    }
    std::shared_ptr<Item::CItem> item = factory->createItem(itemId);
    if (item == nullptr || !serializeCellObjectPart(serializer, *item)) {
        return false;
    }
    uint8_t status[kItemStatusBytes];
    uint8_t weights[kItemWeightsBytes];
    if (!serializer.readBlock(status, sizeof(status)) || !serializer.readBlock(weights, sizeof(weights))) {
        return false;
    }
    decodeItemStatus(status, item->getStatus());
    for (std::size_t i = 0; i < Item::CItem::kItemTypeCount; ++i) {
        item->getCategoryWeights()[i] = std::bit_cast<float>(get32(weights + 4 * i));
    }
    uint32_t count = 0;
    if (!serializer.readCount(count, kMinItemBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        std::shared_ptr<Item::CItem> inner;
        if (!readItem(serializer, context, inner, depth + 1, filtered) || (filtered && !inner->isListedOnFloor())) {
            return false;
        }
        item->pushItemIntoItemList(inner);
    }
    item->validateLoadedItem();
    out = std::move(item);
    return true;
}

}  // namespace

std::shared_ptr<Actor::CActor> SaveRecords::makeActor(IGameContext& context, uint32_t type) {
    switch (type) {
        case Actor::CActor::kPlayer:
            return std::make_shared<Actor::CPlayer>(context);
        case Actor::CActor::kNonPlayer:
            return std::make_shared<Actor::CNonPlayer>(context);
        case Actor::CActor::kEnemy:
            return std::make_shared<Actor::CEnemy>(context);
        default:
            return nullptr;
    }
}

bool SaveRecords::readItemRecord(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Item::CItem>& out,
                                 bool filtered) {
    return readItem(serializer, context, out, 0, filtered);
}

namespace {

void encodeMotion(const Actor::CActor& actor, uint8_t (&bytes)[kMotionBytes]) {
    std::memset(bytes, 0, sizeof(bytes));
    putText(bytes, kNameUnits, actor.getMotionName());
    bytes[128] = actor.getMotionKeepIfPlaying() ? 1 : 0;
    bytes[129] = actor.getMotionWithDirection() ? 1 : 0;
    bytes[130] = actor.getMotionLoop() ? 1 : 0;
}

// The condition record of the actor.
// LEFT: the condition controller lands with the status conditions; its record goes here.
bool serializeConditions(OxSerializer& /*serializer*/, Actor::CActor& /*actor*/) { return true; }

bool serializeTurnPart(OxSerializer& serializer, Actor::CActor& actor) {
    if (serializer.isWriting()) {
        serializer.write32(actor.getTurnState());
        serializer.write32(actor.Dungeon::CTurn::getActionsLeft());
        serializer.writeByte(actor.getJoinedThisRound() ? 1 : 0);
        return true;
    }
    int32_t state = 0;
    int32_t left = 0;
    uint8_t joined = 0;
    if (!serializer.read32(state) || !serializer.read32(left) || !serializer.readByte(joined)) {
        return false;
    }
    actor.setTurnState(state);
    actor.Dungeon::CTurn::setActionsLeft(left);
    actor.setJoinedThisRound(joined != 0);
    return true;
}

}  // namespace

bool serializeItem(OxSerializer& serializer, const Item::CItem& item) { return writeItem(serializer, item, 0); }

bool deserializeItem(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Item::CItem>& out) {
    return readItem(serializer, context, out, 0, true);
}

void callActorSerializeCommand(Actor::CActor& actor, OxSerializer& serializer) {
    lua_State* state = actor.getScript() != nullptr ? actor.getScript()->getLuaState() : nullptr;
    if (state == nullptr) {
        return;
    }
    ScriptArguments::beginSerializerCall(state, &serializer);
    actor.callCommand(serializer.isWriting() ? "serialize" : "deserialize", {static_cast<void*>(&serializer)});
    ScriptArguments::endSerializerCall(state, &serializer);
}

bool serializeActor(OxSerializer& serializer, Actor::CActor& actor) {
    serializer.writeWString(actor.getActorDirectory());
    serializer.write32(static_cast<uint32_t>(actor.getActorType()));
    uint8_t motion[kMotionBytes];
    encodeMotion(actor, motion);
    serializer.writeBlock(motion, sizeof(motion));
    serializer.writeByte(static_cast<uint8_t>(actor.getMotionLock()));
    if (!serializeCellObjectPart(serializer, actor) || !serializeTurnPart(serializer, actor)) {
        return false;
    }
    uint8_t status[kActorStatusBytes];
    encodeActorStatus(actor.getStatus(), status);
    serializer.writeBlock(status, sizeof(status));
    if (!serializeConditions(serializer, actor)) {
        return false;
    }
    const std::vector<const Item::CItem*> items = listedItems(actor.getItemList());
    serializer.write32(static_cast<uint32_t>(items.size()));
    for (const Item::CItem* item : items) {
        if (!serializeItem(serializer, *item)) {
            return false;
        }
    }
    serializeSprites(serializer, actor);
    callActorSerializeCommand(actor, serializer);
    return true;
}

bool deserializeActor(OxSerializer& serializer, IGameContext& context, std::shared_ptr<Actor::CActor>& out) {
    out.reset();
    std::u16string folder;
    uint32_t type = 0;
    if (!serializer.readWString(folder) || !serializer.read32(type)) {
        return false;
    }
    std::shared_ptr<Actor::CActor> actor = makeActor(context, type);
    if (actor == nullptr || !actor->setup(folder)) {
        return false;
    }
    uint8_t motion[kMotionBytes];
    uint8_t lock = 0;
    if (!serializer.readBlock(motion, sizeof(motion)) || !serializer.readByte(lock)) {
        return false;
    }
    // The motion is remembered as it was chosen; the sprites below bring back where it played.
    actor->restoreMotionRecord(getText(motion, kNameUnits), motion[128] != 0, motion[129] != 0, motion[130] != 0);
    actor->setMotionLock(lock);
    uint8_t status[kActorStatusBytes];
    if (!serializeCellObjectPart(serializer, *actor) || !serializeTurnPart(serializer, *actor) ||
        !serializer.readBlock(status, sizeof(status))) {
        return false;
    }
    decodeActorStatus(status, actor->getStatus());
    if (!serializeConditions(serializer, *actor)) {
        return false;
    }
    uint32_t count = 0;
    if (!serializer.readCount(count, kMinItemBytes)) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        std::shared_ptr<Item::CItem> item;
        if (!deserializeItem(serializer, context, item) || !item->isListedOnFloor()) {
            return false;
        }
        actor->addItem(item);
    }
    if (!serializeSprites(serializer, *actor)) {
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

}  // namespace Fenwarrow
