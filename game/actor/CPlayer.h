#pragma once
// The one player actor, owned by the game data manager and driven on a floor by the player
// control layer attached to it.
#include "game/actor/CActor.h"

namespace Fenwarrow::Actor {

class IPlayerControl;

class CPlayer : public CActor {
public:
    explicit CPlayer(IGameContext& context) : CActor(context) {}

    int32_t getActorType() const override { return kPlayer; }
    // The script's turn first, then the attached control layer's (keys and actions).
    void onTurn(Dungeon::IActionManager& actions) override;
    // The player never lingers below one point of life: a damage event that leaves less than
    // 1.0 leaves exactly 0.
    void onDamage() override;
    // A new floor also ends a dash of the attached control layer.
    void onChangeFloor() override;

    // Not owned; null while no control layer is attached (the script alone takes the turn).
    IPlayerControl* getPlayerLayer() const { return playerLayer_; }
    void setPlayerLayer(IPlayerControl* layer) { playerLayer_ = layer; }

private:
    IPlayerControl* playerLayer_ = nullptr;
};

}  // namespace Fenwarrow::Actor
