#pragma once
// A module's global table as data: its C functions and its nested sub-tables.
#include <initializer_list>

#include <lua.hpp>

namespace Fenwarrow::ScriptCommand {

struct ScriptFunction {
    const char* name;
    lua_CFunction function;
};

struct ScriptTable {
    const char* name;
    std::initializer_list<ScriptFunction> functions;
    std::initializer_list<ScriptTable> tables;
};

// Builds the table with its sub-tables and stores it as the global of its name, replacing
// whatever the global held.
void registerScriptTable(lua_State* L, const ScriptTable& table);

}  // namespace Fenwarrow::ScriptCommand
