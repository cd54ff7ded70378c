#pragma once
// Berserk: the player loses control; the game plays its turns with the AI machine script
// instead. Enemies only carry the mark their scripts and the step action read.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CBerserkCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionBerserk; }
    static constexpr const char16_t* kMachineScript = u"Script/Actor/AI/AIMachine.lua";
    static constexpr uint32_t kMachineMemory = 0x20000;

    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;

private:
    void playMachineTurn();
};

}  // namespace Fenwarrow::Actor::Condition
