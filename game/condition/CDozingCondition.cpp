#include "game/condition/CDozingCondition.h"

#include "engine/random/OxRandomRange.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/CRoom.h"

namespace Fenwarrow::Actor::Condition {

namespace {

Dungeon::CRoom* roomOf(const CActor& actor) {
    const Dungeon::CMapCell* cell = actor.getCell();
    return cell != nullptr ? cell->room : nullptr;
}

}  // namespace

bool CDozingCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool base = CConditionBase::serialize(serializer);
    const bool active = serializeValue(serializer, active_);
    const bool asleep = serializeValue(serializer, asleep_);
    return serializeValue(serializer, noticed_) && asleep && active && base;
}

void CDozingCondition::fallAsleep(bool forced) {
    if (getActor().getStatus().getCategory(kWakefulBit)) {
        return;
    }
    if (!forced && Orvex::Random::getRange(getRandom(), 1, 100) > kAsleepChance) {
        return;
    }
    setMayAct(false);
    lieDown();
    asleep_ = true;
}

bool CDozingCondition::wakeUp(bool forced) {
    if (!forced && Orvex::Random::getRange(getRandom(), 1, 100) > kWakeChance) {
        return false;
    }
    setMayAct(true);
    if (asleep_) {
        getUp();
    }
    asleep_ = false;
    return true;
}

void CDozingCondition::onAttach() {
    if (active_) {
        return;
    }
    fallAsleep(false);
    active_ = true;
}

void CDozingCondition::onDetach() {
    if (!active_) {
        return;
    }
    wakeUp(true);
    active_ = false;
    noticed_ = false;
}

void CDozingCondition::onArrival() {
    CActor& actor = getActor();
    actor.setMotionLock(0);
    if (!isEnemy()) {
        return;
    }
    const Dungeon::CRoom* room = roomOf(actor);
    Dungeon::CDungeon* floor = getDungeon();
    const CActor* player = floor != nullptr ? floor->getPlayer().get() : nullptr;
    if (room != nullptr && room->roomType == kMonsterHouse) {
        // Awake, but dormant until the player enters the house (see onEnterTurn).
        wakeUp(true);
        active_ = true;
        noticed_ = false;
    } else if (player != nullptr && floor->checkActorInSight(&actor, player, false)) {
        wakeUp(true);
        onDetach();
        noticed_ = true;
    } else {
        // Asleep without the condition: the actor keeps no turn until the condition is added
        // again and wakes it.
        fallAsleep(false);
        noticed_ = true;
    }
}

void CDozingCondition::onEnterTurn() {
    if (!active_) {
        return;
    }
    CActor& actor = getActor();
    if (actor.getStatus().getCategory(kWakefulBit)) {
        onDetach();
        return;
    }
    const Dungeon::CRoom* room = roomOf(actor);
    Dungeon::CDungeon* floor = getDungeon();
    if (room == nullptr || floor == nullptr) {
        return;
    }
    const CActor* player = floor->getPlayer().get();
    const bool inRoom = player != nullptr && floor->checkRoomActorExist(room, player->getActorID(), false);
    if (inRoom && !noticed_) {
        noticed_ = true;
        setMayAct(!asleep_);
    }
    if (room->roomType == kMonsterHouse) {
        if (!noticed_) {
            setMayAct(false);
            return;
        }
        onDetach();
    }
    if (inRoom && wakeUp(false)) {
        onDetach();
    }
}

void CDozingCondition::onDamage() {
    if (active_ && !getMayAct()) {
        onDetach();
    }
}

void CDozingCondition::onDead() {
    getActor().setMotionLock(0);
    onDetach();
}

void CDozingCondition::onChangeFloor() {
    if (active_) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
