#pragma once
// Decides which actor of the floor acts next. Participants play in a fixed order; each frame as
// many turns run as can without overtaking the actions still in the floor's action queue, and
// the floor's turn count grows each time the order comes round to the first participant again.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/system/shared_vector_ptr.h"

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Dungeon {

class CDungeon;
class IActionManager;

class CTurnController {
public:
    // The floor takes participants off their cells and removes dead ones through its rules.
    explicit CTurnController(CDungeon& floor);
    CTurnController(const CTurnController&) = delete;
    CTurnController& operator=(const CTurnController&) = delete;
    virtual ~CTurnController();

    // Turn count 1, no participants, nobody current, not suspended.
    void reset();
    // Once per frame: hands out turns until a participant waits, an exclusive action is queued
    // or the player's turn comes round.
    void update(IActionManager& actions);

    // Inserts at index 0..count (a larger index inserts nothing). With skip set the newcomer is
    // passed over until the player's next turn has ended.
    void insertParticipant(const std::shared_ptr<Actor::CActor>& actor, std::size_t index, bool skip);
    void appendParticipant(const std::shared_ptr<Actor::CActor>& actor, bool skip) {
        insertParticipant(actor, participants_.size(), skip);
    }
    // Takes the actor out of the order and off its cell; empty when it was no participant.
    std::shared_ptr<Actor::CActor> removeParticipant(const Actor::CActor* actor);

    // The position of the actor; 0 when it is absent.
    std::size_t indexOf(const Actor::CActor* actor) const;
    bool contains(const Actor::CActor* actor) const;
    // Empty for an index past the end.
    std::shared_ptr<Actor::CActor> getActor(std::size_t index) const { return participants_.at(index); }
    std::size_t getParticipantCount() const { return participants_.size(); }
    const Orvex::System::shared_vector_ptr<Actor::CActor>& getParticipants() const { return participants_; }
    const std::shared_ptr<Actor::CActor>& getCurrent() const { return current_; }

    uint32_t getTurnCount() const { return turnCount_; }
    void setTurnCount(uint32_t count) { turnCount_ = count; }
    bool getRoundWrapped() const { return roundWrapped_; }
    bool getSuspend() const { return suspended_; }
    void setSuspend(bool suspended) { suspended_ = suspended; }

private:
    // The index of the actor, or the count when it is absent.
    std::size_t find(const Actor::CActor* actor) const;
    void advance();
    void enterTurn(IActionManager& actions);
    void exitTurn(IActionManager& actions);
    void removeDeadParticipants();
    static bool isPlayer(const Actor::CActor& actor);

    CDungeon& floor_;
    uint32_t turnCount_ = 1;
    bool roundWrapped_ = false;
    Orvex::System::shared_vector_ptr<Actor::CActor> participants_;
    std::shared_ptr<Actor::CActor> current_;
    bool suspended_ = false;
};

}  // namespace Fenwarrow::Dungeon
