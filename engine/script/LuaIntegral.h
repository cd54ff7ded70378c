#pragma once
// A type test beside Lua's own: is the value a whole number that a 32-bit signed integer holds?
#include <lua.hpp>

// 1 when the value at `index` is a number (or a string Lua converts to one) equal to its
// conversion to a 32-bit signed integer; 0 otherwise. Accepts any acceptable index and leaves
// the stack as it was.
int lua_isintegral(lua_State* L, int index);
