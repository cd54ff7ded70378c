#pragma once
// Calls a test script's global function with objects and numbers and reads every result back as
// text ("nil", "true", "12", "12.5", a string), so that a table of cases compares in one line.
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include <lua.hpp>

namespace ScriptCall {

using Argument = std::variant<void*, double, std::string, bool>;
using Values = std::vector<std::string>;

inline std::string describe(lua_State* L, int index) {
    switch (lua_type(L, index)) {
        case LUA_TNIL:
            return "nil";
        case LUA_TBOOLEAN:
            return lua_toboolean(L, index) ? "true" : "false";
        case LUA_TNUMBER: {
            char text[64];
            std::snprintf(text, sizeof text, "%.14g", lua_tonumber(L, index));
            return text;
        }
        case LUA_TSTRING:
            return lua_tostring(L, index);
        case LUA_TLIGHTUSERDATA:
            return lua_touserdata(L, index) != nullptr ? "object" : "null";
        default:
            return lua_typename(L, lua_type(L, index));
    }
}

inline Values call(lua_State* L, const char* name, const std::vector<Argument>& arguments = {}) {
    const int base = lua_gettop(L);
    lua_getglobal(L, name);
    for (const Argument& argument : arguments) {
        if (const auto* object = std::get_if<void*>(&argument)) {
            lua_pushlightuserdata(L, *object);
        } else if (const auto* number = std::get_if<double>(&argument)) {
            lua_pushnumber(L, *number);
        } else if (const auto* text = std::get_if<std::string>(&argument)) {
            lua_pushstring(L, text->c_str());
        } else {
            lua_pushboolean(L, std::get<bool>(argument));
        }
    }
    if (lua_pcall(L, static_cast<int>(arguments.size()), LUA_MULTRET, 0) != 0) {
        Values error{std::string("error: ") + lua_tostring(L, -1)};
        lua_settop(L, base);
        return error;
    }
    Values values;
    for (int index = base + 1; index <= lua_gettop(L); ++index) {
        values.push_back(describe(L, index));
    }
    lua_settop(L, base);
    return values;
}

}  // namespace ScriptCall
