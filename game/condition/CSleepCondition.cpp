#include "game/condition/CSleepCondition.h"

#include "game/actor/CActor.h"

namespace Fenwarrow::Actor::Condition {

void CSleepCondition::onAttach() {
    if (isStable() || hasEquippedAbility(kAbilitySleepless) || isActive()) {
        return;
    }
    getConditionController()->removeCondition(kConditionDozing);
    counter_ = kDuration;
    setMayAct(false);
    lieDown();
}

void CSleepCondition::onDetach() {
    counter_ = 0;
    setMayAct(true);
    getUp();
}

void CSleepCondition::onEnterTurn() {
    // The turn in which the counter runs out is given back (the set reads may-act afterwards).
    if (isActive() && --counter_ <= 0) {
        onDetach();
    }
}

void CSleepCondition::onDead() {
    if (isActive()) {
        onDetach();
    }
}

void CSleepCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
