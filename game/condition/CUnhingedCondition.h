#pragma once
// Unhinged: a mark only enemies of no particular kind (category weight 9 of 0) can take; it
// lasts until removed or the floor changes.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CUnhingedCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;

    int32_t getType() const override { return kConditionUnhinged; }
    bool isActive() const override { return active_; }
    void onAttach() override;
    void onDetach() override;
    void onChangeFloor() override;
    // The base fields, then the active flag.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

private:
    bool active_ = false;
};

}  // namespace Fenwarrow::Actor::Condition
