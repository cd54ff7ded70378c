#include "game/condition/CScapegoatCondition.h"

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"
#include "game/dungeon/CellObjectAnimation.h"

namespace Fenwarrow::Actor::Condition {

void CScapegoatCondition::onAttach() {
    if (isStable()) {
        return;
    }
    const CActor* player = findPlayer(getActor());
    if (player != nullptr) {
        Dungeon::setupAnimation(getContext(), getActor(), player->getActorDirectory());
    }
    counter_ = 20;
}

void CScapegoatCondition::onDetach() {
    // A decoy that fell keeps the player's look (and the condition stays on for removal).
    if (getActor().getStatus().getLife() <= 0.0f) {
        return;
    }
    Dungeon::setupAnimation(getContext(), getActor(), u"");
    counter_ = 0;
}

void CScapegoatCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ <= 0) {
        onDetach();
    }
}

void CScapegoatCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
