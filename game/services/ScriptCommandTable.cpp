#include "game/services/ScriptCommandTable.h"

namespace Fenwarrow::ScriptCommand {

namespace {

// Leaves the filled table on top of the stack.
void pushTable(lua_State* L, const ScriptTable& table) {
    luaL_checkstack(L, 3, table.name);
    // Sized up front: every state a floor makes registers these tables, and growing one
    // entry by entry rehashes it at each power of two.
    lua_createtable(L, 0, int(table.functions.size() + table.tables.size()));
    for (const ScriptFunction& function : table.functions) {
        lua_pushstring(L, function.name);
        lua_pushcclosure(L, function.function, 0);
        lua_settable(L, -3);
    }
    for (const ScriptTable& sub : table.tables) {
        lua_pushstring(L, sub.name);
        pushTable(L, sub);
        lua_settable(L, -3);
    }
}

}  // namespace

void registerScriptTable(lua_State* L, const ScriptTable& table) {
    lua_pushstring(L, table.name);
    pushTable(L, table);
    lua_settable(L, LUA_GLOBALSINDEX);
}

}  // namespace Fenwarrow::ScriptCommand
