#pragma once
// The "Lua" module every script host attaches: build kind, a stopwatch, a blocking sleep,
// loading further scripts from the archives, coroutine yield, null tests, a directory listing,
// the game's random generator (Lua.Random) and wide-character string functions (Lua.String).
#include <memory>

#include "engine/script/CLuaApi.h"
#include "engine/timer/OxTimer.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/IScriptServices.h"

namespace Fenwarrow::ScriptCommand {

class CLuaCommand : public CScriptCommandBase<CLuaCommand> {
public:
    explicit CLuaCommand(IScriptServices& services) : services_(services) {}

    bool registerFunctions(CScriptController& controller) override;

    // The state wrapper of the controller that registered this module; files load into it.
    Orvex::Script::CLuaApi* getLuaApi() const { return api_.get(); }
    Orvex::Timer::OxTimer& getTimer() { return timer_; }
    IScriptServices& getServices() const { return services_; }

private:
    IScriptServices& services_;
    std::shared_ptr<Orvex::Script::CLuaApi> api_;
    Orvex::Timer::OxTimer timer_;
};

}  // namespace Fenwarrow::ScriptCommand
