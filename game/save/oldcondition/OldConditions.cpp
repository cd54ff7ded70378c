#include "game/save/oldcondition/OldConditions.h"

namespace Fenwarrow::Actor::OldCondition {

using Orvex::Serialization::OxSerializer;

bool CCounterCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, counter_);
}

bool CDefaultCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, busy_);
}

bool CQuickCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, counter_) &&
           serializeValue(serializer, toggle_);
}

bool CStarvationCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, lastHunger_) &&
           serializeValue(serializer, hungerAccumulator_) && serializeValue(serializer, messageIndex_) &&
           serializeValue(serializer, active_);
}

bool CDozingCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, active_) &&
           serializeValue(serializer, asleep_) && serializeValue(serializer, noticed_);
}

bool CStealthCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, active_);
}

bool CStrongCondition::serialize(OxSerializer& serializer) {
    return CConditionBase::serialize(serializer) && serializeValue(serializer, counter_) &&
           serializeValue(serializer, savedAttack_);
}

}  // namespace Fenwarrow::Actor::OldCondition
