#include "game/condition/CDrunkenCondition.h"

#include "game/condition/ConditionLooks.h"

namespace Fenwarrow::Actor::Condition {

void CDrunkenCondition::onAttach() {
    if (isStable()) {
        return;
    }
    showEffect(getActor(), u"Drunken");
    counter_ = 20;
}

void CDrunkenCondition::onDetach() {
    clearEffect(getActor());
    counter_ = 0;
}

void CDrunkenCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    // Only the player sobers up by itself.
    if (isPlayer()) {
        --counter_;
    }
    if (counter_ <= 0) {
        counter_ = 0;
        onDetach();
    }
}

void CDrunkenCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
