#include "game/condition/CFlaccidCondition.h"

#include "game/actor/CActor.h"

namespace Fenwarrow::Actor::Condition {

CFlaccidCondition::CFlaccidCondition(CActor& actor)
    : CCountingCondition(actor),
      savedForce_(actor.getStatus().getForce()),
      savedMaxForce_(actor.getStatus().getMaxForce()) {}

void CFlaccidCondition::onAttach() {
    counter_ = 10;
    CActorStatus& status = getActor().getStatus();
    savedForce_ = status.getForce();
    savedMaxForce_ = status.getMaxForce();
    // The force follows its maximum down.
    status.setMaxForce(1);
}

void CFlaccidCondition::onDetach() {
    counter_ = 0;
    CActorStatus& status = getActor().getStatus();
    status.setMaxForce(savedMaxForce_);
    status.setForce(savedForce_);
}

void CFlaccidCondition::onEnterTurn() {
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

void CFlaccidCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

bool CFlaccidCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool counted = CCountingCondition::serialize(serializer);
    const bool force = serializeValue(serializer, savedForce_);
    return serializeValue(serializer, savedMaxForce_) && force && counted;
}

}  // namespace Fenwarrow::Actor::Condition
