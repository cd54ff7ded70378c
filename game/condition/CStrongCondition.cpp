#include "game/condition/CStrongCondition.h"

#include "game/actor/CActor.h"

namespace Fenwarrow::Actor::Condition {

namespace {

constexpr float kStrengthFactor = 1.5f;

}  // namespace

void CStrongCondition::onAttach() {
    if (isActive()) {
        return;
    }
    counter_ = 20;
    CActorStatus& status = getActor().getStatus();
    savedAttack_ = status.getAttack();
    status.setAttack(savedAttack_ * kStrengthFactor);
}

void CStrongCondition::onDetach() {
    counter_ = 0;
    // What was added is taken off; a change made meanwhile counts for two thirds of itself.
    CActorStatus& status = getActor().getStatus();
    const float attack = status.getAttack();
    const float added = attack - savedAttack_ * kStrengthFactor;
    status.setAttack(static_cast<float>(added + (static_cast<double>(attack) + attack) / 3.0));
}

void CStrongCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (isPlayer()) {
        --counter_;
    }
    if (counter_ <= 0) {
        onDetach();
    }
}

void CStrongCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

bool CStrongCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool counted = CCountingCondition::serialize(serializer);
    return serializeValue(serializer, savedAttack_) && counted;
}

}  // namespace Fenwarrow::Actor::Condition
