#include "game/condition/CSlowCondition.h"

#include "engine/random/OxRandomRange.h"
#include "game/actor/CActor.h"
#include "game/condition/CQuickCondition.h"

namespace Fenwarrow::Actor::Condition {

bool CSlowCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool counted = CCountingCondition::serialize(serializer);
    return serializeValue(serializer, toggle_) && counted;
}

void CSlowCondition::onAttach() {
    if (isStable()) {
        return;
    }
    getConditionController()->removeCondition(kConditionQuick);
    counter_ = kDuration;
    toggle_ = true;
    setMayAct(false);
}

void CSlowCondition::onDetach() {
    counter_ = 0;
    setMayAct(true);
    getActor().setAnimationSpeed(1.0f);
}

bool CSlowCondition::isCountingEnemy() const {
    return isEnemy() && getActor().getStatus().getCategoryWeight(kCountingCategory) != 0.0f;
}

void CSlowCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    const bool countingEnemy = isCountingEnemy();
    if (isPlayer() || countingEnemy) {
        --counter_;
    }
    if (counter_ <= 0) {
        if (countingEnemy && Orvex::Random::getRangeReal(getRandom(), 1.0f, 100.0f) <= kLingerChance) {
            counter_ = 1;
            return;
        }
        counter_ = 0;
        setMayAct(true);
        onDetach();
        return;
    }
    // Set after attaching, so the first turn is skipped, the second taken, and so on.
    setMayAct(!toggle_);
    toggle_ = !toggle_;
}

void CSlowCondition::update(float /*elapsedSeconds*/) {
    if (isActive()) {
        applyWalkSpeed(getActor(), kWalkSpeed);
    }
}

void CSlowCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
