#pragma once
// Kotatsu: a condition that never comes on; attaching it does nothing.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CKotatsuCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;

    int32_t getType() const override { return kConditionKotatsu; }
    bool isActive() const override { return false; }
};

}  // namespace Fenwarrow::Actor::Condition
