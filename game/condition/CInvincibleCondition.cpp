#include "game/condition/CInvincibleCondition.h"

namespace Fenwarrow::Actor::Condition {

void CInvincibleCondition::onAttach() { counter_ = isPlayer() ? 30 : 15; }

void CInvincibleCondition::onDetach() { counter_ = 0; }

void CInvincibleCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ <= 0) {
        onDetach();
    }
}

void CInvincibleCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
