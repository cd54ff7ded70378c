#pragma once
// The "Actor" module: actor, floor, item and action scripts read and change actors, their
// status, conditions, equipment and carried items, and queue actions for them. The module keeps
// no state of its own; every function names the actor it works on as its first argument.
#include <functional>
#include <utility>

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
    struct Services {
        // The floor in play; null while there is none.
        std::function<Dungeon::CDungeon*()> currentFloor;
        // What actions need of the running game; null while nothing can run them (the
        // `Actor.Action` functions and `talk` then queue nothing).
        std::function<Action::IActionContext*()> actionContext;
    };

    explicit CActorCommand(IGameContext& context, Services services = {})
        : context_(context), services_(std::move(services)) {}

    bool registerFunctions(CScriptController& controller) override;

    IGameContext& getContext() const { return context_; }
    Dungeon::CDungeon* getFloor() const { return services_.currentFloor ? services_.currentFloor() : nullptr; }
    Action::IActionContext* getActionContext() const {
        return services_.actionContext ? services_.actionContext() : nullptr;
    }

private:
    IGameContext& context_;
    Services services_;
};

}  // namespace Fenwarrow::ScriptCommand
