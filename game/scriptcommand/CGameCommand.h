#pragma once
// The "Game" module: the game-wide state that outlives a floor, as scripts see it (the game
// data's player, money, global values and storage).
#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow {
class IGameContext;
}

namespace Fenwarrow::ScriptCommand {

class CGameCommand : public CScriptCommandBase<CGameCommand> {
public:
    explicit CGameCommand(IGameContext& context) : context_(context) {}

    bool registerFunctions(CScriptController& controller) override;

    IGameContext& getContext() const { return context_; }

private:
    IGameContext& context_;
};

}  // namespace Fenwarrow::ScriptCommand
