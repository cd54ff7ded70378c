#include "game/condition/CTripCondition.h"

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CellObjectAnimation.h"

namespace Fenwarrow::Actor::Condition {

namespace {

// Every participant of the floor but the player gets the look of that folder (empty: its own).
void lookAll(Dungeon::CDungeon* floor, const CActor& player, const std::u16string& folder) {
    if (floor == nullptr) {
        return;
    }
    // Copied: rebuilding a look runs scripts, which must not see the list change under the loop.
    const auto participants = floor->getTurnController().getParticipants();
    for (const auto& actor : participants) {
        if (actor != nullptr && actor.get() != &player) {
            giveLook(*actor, folder);
        }
    }
}

}  // namespace

void CTripCondition::onAttach() {
    if (isStable() || !isPlayer()) {
        return;
    }
    counter_ = 20;
    showEffect(getActor(), u"Trip");
    lookAll(getDungeon(), getActor(), kMobblyFolder);
}

void CTripCondition::onDetach() {
    counter_ = 0;
    clearEffect(getActor());
    lookAll(getDungeon(), getActor(), u"");
}

void CTripCondition::onArrival() {
    const CActor* player = findPlayer(getActor());
    if (player != nullptr && player != &getActor() && player->hasCondition(kConditionTrip)) {
        Dungeon::setupAnimation(getContext(), getActor(), kMobblyFolder);
    }
}

void CTripCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ <= 0) {
        onDetach();
    }
}

void CTripCondition::onChangeFloor() {
    // The others leave with the floor, so their looks are not given back here.
    if (isActive()) {
        counter_ = 0;
        clearEffect(getActor());
    }
}

bool CTripCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool read = CCountingCondition::serialize(serializer);
    if (serializer.isWriting()) {
        return read;
    }
    const CActor* player = findPlayer(getActor());
    if (player != nullptr && player != &getActor() && player->hasCondition(kConditionTrip)) {
        giveLook(getActor(), kMobblyFolder);
    }
    return read;
}

}  // namespace Fenwarrow::Actor::Condition
