#pragma once
// One status condition of one actor. Every actor carries one object of each type from its
// construction on; the condition is switched on (attached) and off (detached), counts down in
// the actor's turns, may take the actor's turn away (the may-act flag) and hears the actor's
// floor events. Every hook does nothing here.
#include <cstdint>
#include <vector>

#include "engine/serialization/IOrvexSerializeObject.h"
#include "engine/serialization/OxSerializer.h"
#include "game/actor/ConditionType.h"

namespace Orvex::Graphics {
class IOrvexRenderer;
class OxRenderQueue;
}  // namespace Orvex::Graphics
namespace Orvex::MossbellLib {
class OxMADObject;
}
namespace Orvex::Random {
class IOrvexRandomGenerator;
}
namespace Fenwarrow {
class IGameContext;
}
namespace Fenwarrow::Dungeon {
class CDungeon;
}
namespace Fenwarrow::Actor {
class CActor;
class IActorConditions;
}  // namespace Fenwarrow::Actor

namespace Fenwarrow::Actor::Condition {

class CConditionBase : public Orvex::Serialization::IOrvexSerializeObject {
public:
    // The stability-state bit that makes an actor proof against the conditions that test it.
    static constexpr uint32_t kStableBit = 4;

    // The actor must outlive the condition (it owns it).
    explicit CConditionBase(CActor& actor) : actor_(actor) {}

    // The may-act flag as one byte; a subclass writes its own fields after it.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    virtual int32_t getType() const = 0;
    virtual void update(float /*elapsedSeconds*/) {}
    virtual void draw(Orvex::Graphics::OxRenderQueue& /*queue*/, Orvex::Graphics::IOrvexRenderer* /*renderer*/) {}
    virtual void onEnterTurn() {}
    virtual void onExitTurn() {}
    virtual void onArrival() {}
    virtual void onRoomIn() {}
    virtual void onRoomOut() {}
    virtual void onDamage() {}
    virtual void onDead() {}
    virtual void onChangeFloor() {}
    virtual bool isActive() const = 0;
    virtual void onAttach() {}
    virtual void onDetach() {}

    bool getMayAct() const { return mayAct_; }
    void setMayAct(bool mayAct) { mayAct_ = mayAct; }
    CActor& getActor() const { return actor_; }
    // The set this condition belongs to, so that one condition can test, add or remove another.
    IActorConditions* getConditionController() const;

protected:
    bool isPlayer() const;
    bool isEnemy() const;
    // The actor is proof against conditions that test the stability state.
    bool isStable() const;
    IGameContext& getContext() const;
    // The floor in play; null while there is none.
    Dungeon::CDungeon* getDungeon() const;
    Orvex::Random::IOrvexRandomGenerator& getRandom() const;
    // The player's equipment carries that slot ability (false for any other actor).
    bool hasEquippedAbility(uint32_t ability) const;
    // The sleeping pose: the "Sleep" motion, held by the motion lock so that moves do not
    // replace it; and back to walking.
    void lieDown();
    void getUp();
    // The damage now being applied to the actor is condition damage inflicting that type.
    bool isDamageOfCondition(int32_t type) const;
    // The sprites of the player's equipped weapon and shield (none for other actors), which
    // pause and play with the body.
    std::vector<Orvex::MossbellLib::OxMADObject*> getEquippedSprites() const;

    // Reads or writes one value by the serializer's direction; false when a read failed.
    static bool serializeValue(Orvex::Serialization::OxSerializer& serializer, int32_t& value);
    static bool serializeValue(Orvex::Serialization::OxSerializer& serializer, float& value);
    static bool serializeValue(Orvex::Serialization::OxSerializer& serializer, bool& value);

private:
    CActor& actor_;
    bool mayAct_ = true;
};

// The common shape of the conditions that last a number of turns: on while the counter is
// above 0.
class CCountingCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;

    // The base fields, then the counter.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    bool isActive() const override { return counter_ > 0; }
    int32_t getCounter() const { return counter_; }
    void setCounter(int32_t counter) { counter_ = counter; }

protected:
    int32_t counter_ = 0;
};

}  // namespace Fenwarrow::Actor::Condition
