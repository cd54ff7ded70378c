#pragma once
// Hibernating (type 18): five turns asleep, healing 30 life each turn; it ends early once life
// is full. Nothing refuses it.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CHibernationCondition : public CCountingCondition {
public:
    static constexpr int32_t kDuration = 5;
    static constexpr float kHeal = 30.0f;
    // The name the heal carries in the fight's log lines.
    static constexpr const char16_t* kHealName = u"冬眠";

    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionHibernation; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;

private:
    // One heal through the actor's own damage rules, so it is logged like any status change.
    void heal();
};

}  // namespace Fenwarrow::Actor::Condition
