#pragma once
// What an actor (and the parts below the condition rules: actions, damage, script modules) sees
// of its set of status conditions. The set itself is built by the condition rules, which need
// the floor, the damage rules and the game data; the actor only drives it and asks it.
#include <cstdint>
#include <string>

#include "engine/serialization/IOrvexSerializeObject.h"
#include "game/dungeon/CDungeonEventListener.h"

namespace Orvex::Graphics {
class IOrvexRenderer;
class OxRenderQueue;
}  // namespace Orvex::Graphics

namespace Fenwarrow::Actor {

class IActorConditions : public Dungeon::CDungeonEventListener, public Orvex::Serialization::IOrvexSerializeObject {
public:
    // Every frame, active or not.
    virtual void update(float elapsedSeconds) = 0;
    virtual void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) = 0;
    // At the actor's turn entry, before anything else; afterwards getMayAct tells whether the
    // actor gets this turn.
    virtual void onEnterTurn() = 0;
    virtual void onExitTurn() = 0;
    virtual bool getMayAct() const = 0;

    // A type outside 0..22 is no condition: false, and nothing changes.
    virtual bool isCondition(int32_t type) const = 0;
    // Whether the condition is on afterwards (false when it refused).
    virtual bool addCondition(int32_t type) = 0;
    // Whether the condition is off afterwards.
    virtual bool removeCondition(int32_t type) = 0;
    // The display name of the first shown condition that is on; null when none is.
    virtual const char16_t* getConditionName() const = 0;
    // The name others see the actor under while a condition hides it (the player's blindness or
    // hallucination, the actor's own stealth or decoy); null when its own name shows.
    virtual const std::u16string* getDisguisedName() const { return nullptr; }
};

}  // namespace Fenwarrow::Actor
