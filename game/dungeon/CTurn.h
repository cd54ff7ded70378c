#pragma once
// A participant of the floor's turn order: its turn state and the turns it has left in the
// current round.
#include <cstdint>

namespace Fenwarrow::Dungeon {

class IActionManager;

class CTurn {
public:
    virtual ~CTurn() = default;
    virtual int32_t getActionsPerRound() { return 1; }
    virtual int32_t getActionsLeft() { return actionsLeft_; }
    virtual void setActionsLeft(int32_t count) { actionsLeft_ = count; }
    // Runs every frame while the turn lasts; the participant ends it by setting the state to 0.
    virtual void onTurn(IActionManager& actions) = 0;
    // A plain participant ends its turn as soon as it is entered.
    virtual void onEnterTurn(IActionManager& /*actions*/) { turnState_ = 0; }
    virtual void onExitTurn(IActionManager& /*actions*/) {}

    // 0 = not in a turn, 1 = being entered, 2 = in a turn until the participant ends it.
    int32_t getTurnState() const { return turnState_; }
    void setTurnState(int32_t state) { turnState_ = state; }
    bool getJoinedThisRound() const { return joinedThisRound_; }
    void setJoinedThisRound(bool joined) { joinedThisRound_ = joined; }

private:
    int32_t turnState_ = 0;
    int32_t actionsLeft_ = 0;
    bool joinedThisRound_ = false;
};

}  // namespace Fenwarrow::Dungeon
