#include "game/condition/CStealthCondition.h"

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"

namespace Fenwarrow::Actor::Condition {

void CStealthCondition::onAttach() {
    getActor().getStatus().setShown(false);
    active_ = true;
}

void CStealthCondition::onDetach() {
    getActor().getStatus().setShown(true);
    active_ = false;
}

void CStealthCondition::update(float /*elapsedSeconds*/) {
    if (!active_) {
        return;
    }
    const CActor* player = findPlayer(getActor());
    if (player != nullptr && player->getStatus().getStabilityState(kRevealBit)) {
        onDetach();
    }
}

void CStealthCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

bool CStealthCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool base = CConditionBase::serialize(serializer);
    return serializeValue(serializer, active_) && base;
}

}  // namespace Fenwarrow::Actor::Condition
