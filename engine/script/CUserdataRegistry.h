#pragma once
// The object factory behind `_CreateObject`: one per process while installed.
#include <map>
#include <memory>
#include <string>

#include <lua.hpp>

#include "engine/script/IUserdata.h"

namespace Orvex::Script {

class CUserdataRegistry {
public:
    explicit CUserdataRegistry(lua_State* L);

    void addPrototype(std::unique_ptr<IUserdata> prototype);
    IUserdata* findPrototype(const std::string& className) const;
    lua_State* getLuaState() const { return luaState_; }

    // The installed factory, null when none is.
    static CUserdataRegistry* current();

private:
    friend void installObjectFactory(lua_State* L);
    friend void removeObjectFactory(lua_State* L);
    static std::unique_ptr<CUserdataRegistry>& slot();

    lua_State* luaState_;
    std::map<std::string, std::unique_ptr<IUserdata>> prototypes_;
};

// Creates the factory with the "BaseUserdata", "FileManager" and "LuaClassBase" prototypes
// (installing `_GetObjectValue` and `_SetObjectValue`), restarts the object ids at 0 and registers
// `_CreateObject`. Installing again replaces the earlier factory.
void installObjectFactory(lua_State* L);
// Deletes the factory, restarts the object ids at 0 and sets `_CreateObject` to nil.
void removeObjectFactory(lua_State* L);

}  // namespace Orvex::Script
