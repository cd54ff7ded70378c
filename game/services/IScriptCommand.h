#pragma once
// A command module: once attached to a Lua state it installs one global table of C functions.
#include <lua.hpp>

namespace Fenwarrow {

class CScriptController;

class IScriptCommand {
public:
    // Binds this module object to the state.
    virtual bool attach(lua_State* L) = 0;
    // Installs the module's global table in the controller's state.
    virtual bool registerFunctions(CScriptController& controller) = 0;
    virtual ~IScriptCommand() = default;
};

}  // namespace Fenwarrow
