#pragma once
// Script-side helpers every command module uses: plain calls, callback threads that keep a Lua
// function alive for later native calls, the argument checker and the archive chunk loader.
#include <cstdint>
#include <initializer_list>

#include <lua.hpp>

#include "engine/io/OxStreamIO.h"
#include "engine/script/CLuaApi.h"

namespace Fenwarrow {

// Type tags of checkArguments: the script value tags plus the kinds only a check needs.
enum ScriptArgumentType : int32_t {
    kArgNil = 0,
    kArgBoolean = 1,
    kArgNumber = 2,
    kArgString = 3,
    kArgTable = 4,
    kArgFunction = 5,
    kArgCFunction = 6,
    kArgUserdata = 7,
    kArgLightUserdata = 8,
    kArgInteger = 9,
};

// An unprotected lua_call.
void callLuaFunction(lua_State* L, int argumentCount, int resultCount);

// A Lua thread T holding T itself, the function at functionIndex and, for argumentIndex > 0, a
// copy of that argument; anchored in the globals until released. Null when the stack holds
// fewer values than either index. The caller's stack is left as it was.
lua_State* newCallbackThread(lua_State* L, int functionIndex, int argumentIndex);
// Pushes the stored function (and its argument) on T; returns the number of arguments pushed.
// T's stack must hold only what newCallbackThread put there.
int pushCallback(lua_State* T);
void releaseCallbackThread(lua_State* T);

// Raises a Lua error listing every mismatch when the stack does not hold `count` arguments of
// the given types; returns normally otherwise.
void checkArgumentList(lua_State* L, int count, std::initializer_list<int32_t> types);

template <typename... Types>
void checkArguments(lua_State* L, int count, Types... types) {
    checkArgumentList(L, count, {static_cast<int32_t>(types)...});
}

// Reads the type of every stack slot, top down; writes nothing.
void luaStackDump(lua_State* L);

// Reads the archive entry `name` + ".lcd" from the reader, stores its bytes in the api's chunk
// cache under `name` and loads them onto `target` (the api's own state when null): 1 with the
// loaded function, or the loader's message naming the chunk, on top; 0 when the entry cannot be
// read.
// `loadStatus`, when given, receives the loader's result (0 = loaded).
int luaEx_loadfile(Orvex::Script::CLuaApi& api, const char* name, Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                   lua_State* target = nullptr, int* loadStatus = nullptr);

}  // namespace Fenwarrow
