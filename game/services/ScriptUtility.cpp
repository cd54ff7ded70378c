#include "game/services/ScriptUtility.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/script/LuaIntegral.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow {

namespace {

constexpr const char* kTypeNames[] = {"nil",      "boolean",   "number",   "string",        "table",
                                      "function", "cfunction", "userdata", "lightuserdata", "integer"};

// printf into a string of whatever length the text needs.
std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

bool matchesType(lua_State* L, int index, int32_t type) {
    switch (type) {
        case kArgNil:
            return lua_type(L, index) == LUA_TNIL;
        case kArgBoolean:
            return lua_type(L, index) == LUA_TBOOLEAN;
        case kArgNumber:
            return lua_isnumber(L, index) != 0;
        case kArgString:
            return lua_isstring(L, index) != 0;
        case kArgTable:
            return lua_type(L, index) == LUA_TTABLE;
        case kArgFunction:
            return lua_type(L, index) == LUA_TFUNCTION;
        case kArgCFunction:
            return lua_iscfunction(L, index) != 0;
        case kArgUserdata:
            return lua_isuserdata(L, index) != 0;
        case kArgLightUserdata:
            return lua_type(L, index) == LUA_TLIGHTUSERDATA;
        case kArgInteger:
            return lua_isintegral(L, index) != 0;
        default:
            return false;
    }
}

std::string argumentMessages(lua_State* L, int count, std::initializer_list<int32_t> types) {
    const int actual = lua_gettop(L);
    if (actual != count) {
        return formatText("引数が%d個渡されました、%d個でなくてはいけません。\n", actual, count);
    }
    std::string messages;
    const int32_t* type = types.begin();
    for (int i = 1; i <= count; ++i, ++type) {
        const bool known = type < types.end() && *type >= 0 && *type <= kArgInteger;
        if (!known) {
            messages += formatText("第%d引数に未知のデータ型が指定されています。\n", i);
        } else if (!matchesType(L, i, *type)) {
            messages += formatText("第%d引数は%s型でなければいけません。\n", i, kTypeNames[*type]);
        }
    }
    return messages;
}

std::string errorReport(lua_State* L, const std::string& messages) {
    lua_Debug ar{};
    const bool haveCaller = lua_getstack(L, 1, &ar) != 0 && lua_getinfo(L, "nSlu", &ar) != 0;
    luaStackDump(L);
    // A check made outside any Lua caller has no debug information to report.
    const char* name = haveCaller && ar.name != nullptr ? ar.name : "?";
    const char* nameWhat = haveCaller && ar.namewhat != nullptr ? ar.namewhat : "";
    const char* source = haveCaller && ar.source != nullptr ? ar.source : "?";
    const int line = haveCaller ? ar.currentline : -1;
    return formatText("Name: %s\nNameWhat: %s\nSource: %s\nLine: %d\n%s\n", name, nameWhat, source, line,
                      messages.c_str());
}

}  // namespace

void callLuaFunction(lua_State* L, int argumentCount, int resultCount) { lua_call(L, argumentCount, resultCount); }

lua_State* newCallbackThread(lua_State* L, int functionIndex, int argumentIndex) {
    const int top = lua_gettop(L);
    if (functionIndex < 1 || functionIndex > top || argumentIndex > top) {
        return nullptr;
    }
    const bool withArgument = argumentIndex > 0;
    if (!lua_checkstack(L, 4)) {
        return nullptr;
    }
    lua_State* T = lua_newthread(L);
    lua_pushvalue(L, -1);
    lua_pushvalue(L, functionIndex);
    if (withArgument) {
        lua_pushvalue(L, argumentIndex);
    }
    lua_xmove(L, T, withArgument ? 3 : 2);
    lua_pop(L, 1);
    // Anchored under the thread itself, so a callback lives until it is released.
    lua_pushvalue(T, 1);
    lua_pushinteger(T, 1);
    lua_settable(T, LUA_GLOBALSINDEX);
    return T;
}

int pushCallback(lua_State* T) {
    const bool withArgument = lua_gettop(T) == 3;
    lua_pushvalue(T, 2);
    if (withArgument) {
        lua_pushvalue(T, 3);
        return 1;
    }
    return 0;
}

void releaseCallbackThread(lua_State* T) {
    if (T == nullptr) {
        return;
    }
    lua_pushthread(T);
    lua_pushnil(T);
    lua_settable(T, LUA_GLOBALSINDEX);
}

void checkArgumentList(lua_State* L, int count, std::initializer_list<int32_t> types) {
    {
        const std::string messages = argumentMessages(L, count, types);
        if (messages.empty()) {
            return;
        }
        const std::string report = errorReport(L, messages);
        lua_pushlstring(L, report.data(), report.size());
    }
    // Raised only after every native object of this frame is gone: the error leaves by longjmp.
    lua_error(L);
}

void luaStackDump(lua_State* L) {
    int seen = 0;
    for (int i = lua_gettop(L); i >= 1; --i) {
        seen |= 1 << (lua_type(L, i) + 1);
    }
    static_cast<void>(seen);
}

int luaEx_loadfile(Orvex::Script::CLuaApi& api, const char* name, Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                   lua_State* target, int* loadStatus) {
    lua_State* L = target != nullptr ? target : api.getState();
    std::u16string wide;
    if (L == nullptr || name == nullptr || !Orvex::System::toWideString(name, wide)) {
        return 0;
    }
    if (!reader.open(wide + u".lcd")) {
        Orvex::System::debugOutput(u"failed luaEx_loadfile() function.");
        return 0;
    }
    Orvex::IO::StreamIO::ByteVector bytes;
    const bool read = reader.readToVector(bytes, 0);
    reader.close();
    if (!read) {
        return 0;
    }
    // A file loaded again replaces its earlier copy: the cache joins records of one name into a
    // single chunk, which two whole copies are not.
    Orvex::Script::CLuaChunkBuffer& chunks = api.getChunks();
    chunks.removeByName(name);
    if (chunks.addChunk(name, bytes.data(), static_cast<uint32_t>(bytes.size())) == nullptr) {
        Orvex::System::debugOutput(u"Lua chunk not cached: " + Orvex::System::widen(name));
    }
    const int status = luaL_loadbuffer(L, reinterpret_cast<const char*>(bytes.data()), bytes.size(), name);
    if (status != 0) {
        Orvex::Script::CLuaApi::nameLoadError(L, name);
    }
    if (loadStatus != nullptr) {
        *loadStatus = status;
    }
    return 1;
}

}  // namespace Fenwarrow
