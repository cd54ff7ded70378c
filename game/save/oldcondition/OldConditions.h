#pragma once
// The eighteen condition kinds of the earlier release, id 0 to 17, with the fields each one
// saved after its may-act flag. Reading a record changes nothing but these fields: no look is
// rebuilt, no sprite made, no other condition touched.
#include "game/save/oldcondition/CConditionBase.h"

namespace Fenwarrow::Actor::OldCondition {

// A condition whose own fields are one turn counter.
class CCounterCondition : public CConditionBase {
public:
    CCounterCondition(CActor* actor, int32_t type) : CConditionBase(actor), type_(type) {}
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return type_; }
    int32_t getCounter() const { return counter_; }
    void setCounter(int32_t counter) { counter_ = counter; }

private:
    int32_t type_;
    int32_t counter_ = 0;
};

class CDefaultCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    // The remembered room is never saved: reading or writing forgets it.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return 0; }

private:
    bool busy_ = false;
};

#define FENWARROW_OLD_COUNTER_CONDITION(Name, id)                      \
    class Name : public CCounterCondition {                            \
    public:                                                            \
        explicit Name(CActor* actor) : CCounterCondition(actor, id) {} \
    }
FENWARROW_OLD_COUNTER_CONDITION(CConfusionCondition, 1);
FENWARROW_OLD_COUNTER_CONDITION(CDrunkenCondition, 2);
FENWARROW_OLD_COUNTER_CONDITION(CBlindCondition, 5);
FENWARROW_OLD_COUNTER_CONDITION(CTripCondition, 6);
FENWARROW_OLD_COUNTER_CONDITION(CSleepCondition, 7);
FENWARROW_OLD_COUNTER_CONDITION(CFreezeCondition, 10);
FENWARROW_OLD_COUNTER_CONDITION(CShelteredCondition, 13);
FENWARROW_OLD_COUNTER_CONDITION(CInvincibleCondition, 15);
FENWARROW_OLD_COUNTER_CONDITION(CBerserkCondition, 16);
FENWARROW_OLD_COUNTER_CONDITION(CScapegoatCondition, 17);
#undef FENWARROW_OLD_COUNTER_CONDITION

// Quick (3) and slow (4): a counter and the toggle that alternates the turns.
class CQuickCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return 3; }

protected:
    int32_t counter_ = 0;
    bool toggle_ = false;
};

class CSlowCondition : public CQuickCondition {
public:
    using CQuickCondition::CQuickCondition;
    int32_t getType() const override { return 4; }
};

class CKotatsuCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    int32_t getType() const override { return 8; }
};

class CStarvationCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return 9; }

private:
    float lastHunger_ = 0.0f;
    float hungerAccumulator_ = 0.0f;
    int32_t messageIndex_ = 0;
    bool active_ = false;
};

class CDozingCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return 11; }

private:
    bool active_ = false;
    bool asleep_ = false;
    bool noticed_ = false;
};

class CStealthCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return 12; }

private:
    bool active_ = false;
};

class CStrongCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return 14; }

private:
    int32_t counter_ = 0;
    float savedAttack_ = 0.0f;
};

}  // namespace Fenwarrow::Actor::OldCondition
