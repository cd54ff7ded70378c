#include "engine/script/LuaObjectBinding.h"

#include <memory>

#include "engine/script/CLuaClassBase.h"
#include "engine/script/CLuaClassDataNumber.h"
#include "engine/script/CLuaClassDataString.h"
#include "engine/script/IUserdata.h"

namespace Orvex::Script {

namespace {

constexpr const char* kUserdataKey = "Userdata";
// Registry key of the metatable shared by every object userdata (its only field is "__gc").
constexpr const char* kMetatableName = "Orvex.ObjectUserdata";

uint32_t nextObjectId = 0;

// The slot of the userdata at `index`, when it is one of ours.
IUserdata** slotOfUserdata(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TUSERDATA || lua_objlen(L, index) != sizeof(IUserdata*) ||
        !lua_getmetatable(L, index)) {
        return nullptr;
    }
    luaL_getmetatable(L, kMetatableName);
    const bool ours = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    return ours ? static_cast<IUserdata**>(lua_touserdata(L, index)) : nullptr;
}

// A script can reach the collector through the metatable and hand it anything: only our own
// userdata are released.
int collectObject(lua_State* L) {
    IUserdata** slot = slotOfUserdata(L, 1);
    if (slot != nullptr && *slot != nullptr) {
        IUserdata* object = *slot;
        *slot = nullptr;
        delete object;
    }
    return 0;
}

// The object held by the userdata at `index`, when it is one of ours.
IUserdata* objectOfUserdata(lua_State* L, int index) {
    IUserdata** slot = slotOfUserdata(L, index);
    return slot != nullptr ? *slot : nullptr;
}

int getObjectValue(lua_State* L) {
    if (lua_gettop(L) < 1) {
        return 0;
    }
    const bool hasName = lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER;
    const std::string name = hasName ? lua_tostring(L, -1) : std::string();
    lua_pop(L, 1);
    auto* object = dynamic_cast<CLuaClassBase*>(getObjectPointer(L));
    if (lua_gettop(L) > 0) {
        lua_pop(L, 1);
    }
    const CLuaClassDataUnit* unit = nullptr;
    if (object != nullptr && hasName) {
        auto found = object->members().find(name);
        if (found != object->members().end()) {
            unit = found->second.get();
        }
    }
    // A member without a unit (never set, or set to a value that is not stored) reads as nil.
    if (unit == nullptr) {
        lua_pushnil(L);
    } else if (unit->type == CLuaClassDataUnit::kBoolean) {
        lua_pushboolean(L, static_cast<const CLuaClassDataNumber*>(unit)->value != 0.0);
    } else if (unit->type == CLuaClassDataUnit::kNumber) {
        lua_pushnumber(L, static_cast<const CLuaClassDataNumber*>(unit)->value);
    } else {
        const std::string& text = static_cast<const CLuaClassDataString*>(unit)->text;
        lua_pushlstring(L, text.data(), text.size());
    }
    return 1;
}

std::unique_ptr<CLuaClassDataUnit> makeUnit(lua_State* L, int index, const std::string& name) {
    switch (lua_type(L, index)) {
        case LUA_TBOOLEAN:
            return std::make_unique<CLuaClassDataNumber>(CLuaClassDataUnit::kBoolean, name,
                                                         lua_toboolean(L, index) ? 1.0 : 0.0);
        case LUA_TNUMBER:
            return std::make_unique<CLuaClassDataNumber>(CLuaClassDataUnit::kNumber, name, lua_tonumber(L, index));
        case LUA_TSTRING: {
            size_t length = 0;
            const char* text = lua_tolstring(L, index, &length);
            return std::make_unique<CLuaClassDataString>(name, std::string(text, length));
        }
        default:
            return nullptr;
    }
}

int setObjectValue(lua_State* L) {
    if (lua_gettop(L) < 2) {
        return 0;
    }
    const bool hasName = lua_type(L, -2) == LUA_TSTRING || lua_type(L, -2) == LUA_TNUMBER;
    const std::string name = hasName ? lua_tostring(L, -2) : std::string();
    std::unique_ptr<CLuaClassDataUnit> unit = makeUnit(L, -1, name);
    lua_pop(L, 2);
    auto* object = dynamic_cast<CLuaClassBase*>(getObjectPointer(L));
    // A missing object does nothing; an existing member keeps its first unit.
    if (object != nullptr && hasName) {
        object->members().emplace(name, std::move(unit));
    }
    return lua_gettop(L) > 0 ? 1 : 0;
}

void setTop(lua_State* L, const char* key) { lua_setfield(L, -2, key); }

}  // namespace

void pushObject(lua_State* L, IUserdata* object) {
    lua_newtable(L);  // T
    auto** slot = static_cast<IUserdata**>(lua_newuserdata(L, sizeof(IUserdata*)));
    *slot = object;                              // T ud
    if (luaL_newmetatable(L, kMetatableName)) {  // T ud mt
        lua_pushcfunction(L, &collectObject);
        lua_setfield(L, -2, "__gc");
    }
    lua_setmetatable(L, -2);            // T ud
    lua_setfield(L, -2, kUserdataKey);  // T
}

IUserdata* toObject(lua_State* L, int index) {
    if (lua_type(L, index) == LUA_TUSERDATA) {
        return objectOfUserdata(L, index);
    }
    if (lua_type(L, index) != LUA_TTABLE) {
        return nullptr;
    }
    const int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    lua_pushstring(L, kUserdataKey);
    lua_rawget(L, table);
    IUserdata* object = objectOfUserdata(L, -1);
    lua_pop(L, 1);
    return object;
}

IUserdata* getObjectPointer(lua_State* L) {
    if (lua_gettop(L) == 0) {
        return nullptr;
    }
    IUserdata* object = nullptr;
    if (lua_type(L, -1) == LUA_TTABLE) {
        lua_pushstring(L, kUserdataKey);
        lua_rawget(L, -2);  // ... T ud
        object = objectOfUserdata(L, -1);
    } else {
        lua_pushnil(L);
    }
    lua_remove(L, 1);
    return object;
}

void setTableFunction(lua_State* L, const char* key, lua_CFunction fn) {
    lua_pushcfunction(L, fn);
    setTop(L, key);
}
void setTableFunction(lua_State* L, const std::string& key, lua_CFunction fn) { setTableFunction(L, key.c_str(), fn); }
void setTableBoolean(lua_State* L, const char* key, bool value) {
    lua_pushboolean(L, value ? 1 : 0);
    setTop(L, key);
}
void setTableBoolean(lua_State* L, const std::string& key, bool value) { setTableBoolean(L, key.c_str(), value); }
void setTableInteger(lua_State* L, const char* key, lua_Integer value) {
    lua_pushinteger(L, value);
    setTop(L, key);
}
void setTableInteger(lua_State* L, const std::string& key, lua_Integer value) {
    setTableInteger(L, key.c_str(), value);
}
void setTableLightUserdata(lua_State* L, const char* key, void* value) {
    lua_pushlightuserdata(L, value);
    setTop(L, key);
}
void setTableLightUserdata(lua_State* L, const std::string& key, void* value) {
    setTableLightUserdata(L, key.c_str(), value);
}
void setTableNil(lua_State* L, const char* key) {
    lua_pushnil(L);
    setTop(L, key);
}
void setTableNil(lua_State* L, const std::string& key) { setTableNil(L, key.c_str()); }
void setTableNumber(lua_State* L, const char* key, double value) {
    lua_pushnumber(L, value);
    setTop(L, key);
}
void setTableNumber(lua_State* L, const std::string& key, double value) { setTableNumber(L, key.c_str(), value); }
void setTableString(lua_State* L, const char* key, const char* value) {
    lua_pushstring(L, value);
    setTop(L, key);
}
void setTableString(lua_State* L, const char* key, const std::string& value) {
    lua_pushlstring(L, value.data(), value.size());
    setTop(L, key);
}
void setTableString(lua_State* L, const std::string& key, const char* value) { setTableString(L, key.c_str(), value); }
void setTableString(lua_State* L, const std::string& key, const std::string& value) {
    setTableString(L, key.c_str(), value);
}

void installObjectValueFunctions(lua_State* L) {
    lua_pushcfunction(L, &getObjectValue);
    lua_setfield(L, LUA_GLOBALSINDEX, "_GetObjectValue");
    lua_pushcfunction(L, &setObjectValue);
    lua_setfield(L, LUA_GLOBALSINDEX, "_SetObjectValue");
}

void removeObjectValueFunctions(lua_State* L) {
    lua_pushnil(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "_GetObjectValue");
    lua_pushnil(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "_SetObjectValue");
}

uint32_t takeNextObjectId() { return nextObjectId++; }

void resetNextObjectId() { nextObjectId = 0; }

}  // namespace Orvex::Script
