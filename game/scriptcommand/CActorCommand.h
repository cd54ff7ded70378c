#pragma once
// The "Actor" module: actor, floor, item and action scripts read and change actors, their
// status, conditions, equipment and carried items, and queue actions for them. The module keeps
// no state of its own; every function names the actor it works on as its first argument.
#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow {
class IGameContext;
namespace Dungeon {
class CDungeon;
}
namespace Action {
class IActionContext;
}
}  // namespace Fenwarrow

namespace Fenwarrow::ScriptCommand {

class CActorCommand : public CScriptCommandBase<CActorCommand> {
public:
    // The action context is what actions need of the running game (its floor and that floor's
    // action queue); without one the `Actor.Action` functions and `talk` queue nothing. Both
    // must outlive the module.
    explicit CActorCommand(IGameContext& context, Action::IActionContext* actions = nullptr)
        : context_(context), actions_(actions) {}

    bool registerFunctions(CScriptController& controller) override;

    IGameContext& getContext() const { return context_; }
    Action::IActionContext* getActionContext() const { return actions_; }
    // The floor in play; null while there is none.
    Dungeon::CDungeon* getFloor() const;

private:
    IGameContext& context_;
    Action::IActionContext* actions_;
};

}  // namespace Fenwarrow::ScriptCommand
