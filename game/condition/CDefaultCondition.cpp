#include "game/condition/CDefaultCondition.h"

#include <string>

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/CRoom.h"
#include "game/dungeon/CShopInfo.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Actor::Condition {

namespace {

std::u16string textOf(const char16_t* units, std::size_t size) {
    std::size_t length = 0;
    while (length < size && units[length] != u'\0') {
        ++length;
    }
    return std::u16string(units, length);
}

}  // namespace

bool CDefaultCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    lastRoom_ = nullptr;
    const bool base = CConditionBase::serialize(serializer);
    return serializeValue(serializer, busy_) && base;
}

void CDefaultCondition::onExitTurn() { checkRoom(); }

void CDefaultCondition::onArrival() {
    lastRoom_ = nullptr;
    checkRoom();
}

void CDefaultCondition::onRoomIn() {
    if (!busy_) {
        checkRoom();
    }
}

void CDefaultCondition::onRoomOut() {
    if (!busy_) {
        checkRoom();
    }
}

bool CDefaultCondition::playMusic(const std::u16string& path) {
    CGameDataManager* data = getContext().getGameDataManager();
    return data != nullptr && data->playBGM(path, false);
}

void CDefaultCondition::checkRoom() {
    CActor& actor = getActor();
    const Dungeon::CMapCell* cell = actor.getCell();
    Dungeon::CRoom* room = cell != nullptr ? cell->room : nullptr;
    busy_ = true;
    if (room != lastRoom_) {
        if (room != nullptr) {
            if (lastRoom_ != nullptr) {
                actor.callEvent("onRoomOut");
            }
            enterRoom(*room);
        } else if (lastRoom_ != nullptr) {
            actor.callEvent("onRoomOut");
        }
        // Leaving a shop into another shop changes nothing.
        if (lastRoom_ != nullptr && isPlayer() && lastRoom_->shop != nullptr &&
            (room == nullptr || room->shop == nullptr)) {
            leaveShop(*lastRoom_);
        }
    }
    lastRoom_ = room;
    busy_ = false;
}

void CDefaultCondition::enterRoom(Dungeon::CRoom& room) {
    getActor().callEvent("onRoomIn");
    Dungeon::CDungeon* floor = getDungeon();
    if (!isPlayer() || floor == nullptr || floor->getFloorState().robber != 0) {
        return;
    }
    if (room.roomType == kMonsterHouse && room.monsterHouse != nullptr) {
        const Dungeon::CMonsterHouseInfo& house = *room.monsterHouse;
        const std::u16string music = textOf(house.bgmPath.data(), house.bgmPath.size());
        Dungeon::setFloorText(floor->getFloorState().currentBgmPath, music);
        // A house whose music already plays is not announced again.
        if (playMusic(Dungeon::getFloorText(floor->getFloorState().currentBgmPath))) {
            floor->getLogManager().addLogMessage(textOf(house.houseName.data(), house.houseName.size()) + u"だ！");
        }
    } else if (room.roomType == kShop && room.shop != nullptr) {
        playMusic(room.shop->getBGMPath());
    }
}

void CDefaultCondition::leaveShop(Dungeon::CRoom& shopRoom) {
    Dungeon::CDungeon* floor = getDungeon();
    if (floor == nullptr) {
        return;
    }
    Dungeon::FloorState& state = floor->getFloorState();
    if (shopRoom.shop->getTotalSellPrice() > 0) {
        // Gone with goods not paid for: the floor calls the guards and the room stops being a
        // shop.
        state.robber = 1;
        Dungeon::setFloorText(state.currentBgmPath, kRobberMusic);
        shopRoom.shop->clear();
        shopRoom.shop.reset();
        shopRoom.roomType = 0;
        floor->doAdventureScript(kRobberStory, 0, 0);
    }
    playMusic(Dungeon::getFloorText(state.currentBgmPath));
}

}  // namespace Fenwarrow::Actor::Condition
