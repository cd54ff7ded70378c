#pragma once
// A status condition as the earlier release saved it. Such conditions are only ever read: an
// old common save is migrated by reading each actor's old condition record and dropping it,
// so none of them is attached to an actor or hears a floor event.
#include <cstdint>

#include "engine/serialization/IOrvexSerializeObject.h"

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Actor::OldCondition {

class CConditionBase : public Orvex::Serialization::IOrvexSerializeObject {
public:
    explicit CConditionBase(CActor* actor) : actor_(actor) {}
    ~CConditionBase() override = default;

    // The may-act flag byte; each condition then reads or writes its own fields.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    virtual int32_t getType() const = 0;

    bool getMayAct() const { return mayAct_; }

protected:
    static bool serializeValue(Orvex::Serialization::OxSerializer& serializer, int32_t& value);
    static bool serializeValue(Orvex::Serialization::OxSerializer& serializer, float& value);
    static bool serializeValue(Orvex::Serialization::OxSerializer& serializer, bool& value);

    CActor* getActor() const { return actor_; }

private:
    CActor* actor_;
    bool mayAct_ = true;
};

}  // namespace Fenwarrow::Actor::OldCondition
