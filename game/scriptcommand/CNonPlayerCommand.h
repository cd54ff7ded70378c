#pragma once
// The "NonPlayer" module: an empty global table that non-player scripts may find.
#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow {
class IGameContext;
}

namespace Fenwarrow::ScriptCommand {

class CNonPlayerCommand : public CScriptCommandBase<CNonPlayerCommand> {
public:
    // The game that made the module; kept, though no function reads it.
    explicit CNonPlayerCommand(IGameContext* context) : context_(context) {}

    bool registerFunctions(CScriptController& controller) override;

    IGameContext* getContext() const { return context_; }

private:
    IGameContext* context_;
};

}  // namespace Fenwarrow::ScriptCommand
