#pragma once
// What the player actor drives of the control layer attached to it while it is on a floor: the
// layer reads the keys during the player's turn and pushes the player's actions, and a change
// of floor ends a dash. The layer is built on top of the actor, so the actor knows only this.
namespace Fenwarrow::Dungeon {
class IActionManager;
}

namespace Fenwarrow::Actor {

class IPlayerControl {
public:
    virtual ~IPlayerControl() = default;
    virtual void onTurn(Dungeon::IActionManager& actions) = 0;
    // Clears both continuous-move (dash) flags.
    virtual void clearContinuousMove() = 0;
    // The player's steps slide faster while a dash is on.
    virtual bool isDashing() const = 0;
};

}  // namespace Fenwarrow::Actor
