#pragma once
// The "Game" module: the game-wide state that outlives a floor, as scripts see it: the game
// data (player, items, equipment, global values, storage, rankings), the common resources, the
// music, the records one scene hands to the next, the replay controller, and the byte
// serializer actor scripts save their own fields with. It keeps no state of its own.
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
