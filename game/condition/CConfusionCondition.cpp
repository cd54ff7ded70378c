#include "game/condition/CConfusionCondition.h"

#include "engine/random/OxRandomRange.h"
#include "game/condition/ConditionLooks.h"

namespace Fenwarrow::Actor::Condition {

namespace {

// The equipment ability that keeps the wearer calm.
constexpr uint32_t kAbilityCalm = 3;

}  // namespace

void CConfusionCondition::onAttach() {
    if (isStable() || hasEquippedAbility(kAbilityCalm)) {
        return;
    }
    showEffect(getActor(), u"Confusion");
    counter_ = isPlayer() ? 10 : 20;
}

void CConfusionCondition::onDetach() {
    counter_ = 0;
    clearEffect(getActor());
}

void CConfusionCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ > 0) {
        return;
    }
    if (isEnemy() && Orvex::Random::getRangeReal(getRandom(), 1.0f, 100.0f) <= kEnemyStayChance) {
        counter_ = 1;
        return;
    }
    counter_ = 0;
    onDetach();
}

void CConfusionCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
