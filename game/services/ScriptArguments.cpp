#include "game/services/ScriptArguments.h"

#include <cmath>

#include "engine/system/OxStringConvert.h"

namespace Fenwarrow::ScriptArguments {

namespace {

// The registry key of the table of lent objects: the address of this constant.
const char kLentObjectsKey = 0;
// The registry key of the serializer of the serialize call in progress.
const char kCurrentSerializerKey = 0;

void setCurrentSerializer(lua_State* L, Orvex::Serialization::OxSerializer* serializer) {
    if (L == nullptr || !lua_checkstack(L, 2)) {
        return;
    }
    lua_pushlightuserdata(L, const_cast<char*>(&kCurrentSerializerKey));
    if (serializer != nullptr) {
        lua_pushlightuserdata(L, serializer);
    } else {
        lua_pushnil(L);
    }
    lua_rawset(L, LUA_REGISTRYINDEX);
}

// Pushes the table of lent objects, made when `create` is set; false (nothing pushed) when
// there is none.
bool pushLentTable(lua_State* L, bool create) {
    if (!lua_checkstack(L, 3)) {
        return false;
    }
    lua_pushlightuserdata(L, const_cast<char*>(&kLentObjectsKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_istable(L, -1)) {
        return true;
    }
    lua_pop(L, 1);
    if (!create) {
        return false;
    }
    lua_newtable(L);
    lua_pushlightuserdata(L, const_cast<char*>(&kLentObjectsKey));
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return true;
}

void setLent(lua_State* L, const void* object, bool lent) {
    if (L == nullptr || object == nullptr || !pushLentTable(L, lent)) {
        return;
    }
    lua_pushlightuserdata(L, const_cast<void*>(object));
    if (lent) {
        lua_pushboolean(L, 1);
    } else {
        lua_pushnil(L);
    }
    lua_rawset(L, -3);
    lua_pop(L, 1);
}

}  // namespace

int32_t intArg(lua_State* L, int index) {
    const lua_Number value = lua_tonumber(L, index);
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<lua_Number>(INT32_MIN)) {
        return INT32_MIN;
    }
    if (value >= static_cast<lua_Number>(INT32_MAX)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

float floatArg(lua_State* L, int index) { return static_cast<float>(lua_tonumber(L, index)); }

bool flagArg(lua_State* L, int index) {
    if (lua_type(L, index) == LUA_TNUMBER) {
        return lua_tonumber(L, index) == 1.0;
    }
    return lua_toboolean(L, index) != 0;
}

std::string textArg(lua_State* L, int index) {
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return text != nullptr ? std::string(text, length) : std::string();
}

std::u16string wideArg(lua_State* L, int index) {
    std::u16string wide;
    if (!Orvex::System::toWideString(textArg(L, index), wide)) {
        wide.clear();
    }
    return wide;
}

void pushText(lua_State* L, std::u16string_view text) {
    const std::string narrow = Orvex::System::narrow(text);
    lua_pushlstring(L, narrow.data(), narrow.size());
}

void lendObject(lua_State* L, const void* object) { setLent(L, object, true); }

void withdrawObject(lua_State* L, const void* object) { setLent(L, object, false); }

bool isLentObject(lua_State* L, const void* object) {
    if (L == nullptr || object == nullptr || !pushLentTable(L, false)) {
        return false;
    }
    lua_pushlightuserdata(L, const_cast<void*>(object));
    lua_rawget(L, -2);
    const bool lent = lua_toboolean(L, -1) != 0;
    lua_pop(L, 2);
    return lent;
}

void beginSerializerCall(lua_State* L, Orvex::Serialization::OxSerializer* serializer) {
    lendObject(L, serializer);
    setCurrentSerializer(L, serializer);
}

void endSerializerCall(lua_State* L, Orvex::Serialization::OxSerializer* serializer) {
    setCurrentSerializer(L, nullptr);
    withdrawObject(L, serializer);
}

Orvex::Serialization::OxSerializer* currentSerializer(lua_State* L) {
    if (L == nullptr || !lua_checkstack(L, 2)) {
        return nullptr;
    }
    lua_pushlightuserdata(L, const_cast<char*>(&kCurrentSerializerKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    void* current = lua_touserdata(L, -1);
    lua_pop(L, 1);
    // Only the serializer of the call in progress, and only while it is lent to this state.
    if (current == nullptr || !isLentObject(L, current)) {
        return nullptr;
    }
    return static_cast<Orvex::Serialization::OxSerializer*>(current);
}

}  // namespace Fenwarrow::ScriptArguments
