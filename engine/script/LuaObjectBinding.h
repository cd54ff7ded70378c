#pragma once
// The Lua form of native objects: a plain table T whose field "Userdata" is a full userdata
// holding the object's pointer; collecting that userdata deletes the object.
#include <cstdint>
#include <string>

#include <lua.hpp>

namespace Orvex::Script {

class IUserdata;

// Builds the Lua form of `object` (taking ownership) and leaves T on the stack.
void pushObject(lua_State* L, IUserdata* object);

// With an object's table T on top of the stack: returns its native object (null when T is not an
// object's table), removes stack index 1 and leaves T["Userdata"] (or nil) on the stack.
IUserdata* getObjectPointer(lua_State* L);

// The native object of the table or object userdata at `index`, null for anything else.
// The stack is left as it was.
IUserdata* toObject(lua_State* L, int index);

// With a table on top of the stack: table[key] = value; the table stays on top.
void setTableFunction(lua_State* L, const char* key, lua_CFunction fn);
void setTableFunction(lua_State* L, const std::string& key, lua_CFunction fn);
void setTableBoolean(lua_State* L, const char* key, bool value);
void setTableBoolean(lua_State* L, const std::string& key, bool value);
void setTableInteger(lua_State* L, const char* key, lua_Integer value);
void setTableInteger(lua_State* L, const std::string& key, lua_Integer value);
void setTableLightUserdata(lua_State* L, const char* key, void* value);
void setTableLightUserdata(lua_State* L, const std::string& key, void* value);
void setTableNil(lua_State* L, const char* key);
void setTableNil(lua_State* L, const std::string& key);
void setTableNumber(lua_State* L, const char* key, double value);
void setTableNumber(lua_State* L, const std::string& key, double value);
void setTableString(lua_State* L, const char* key, const char* value);
void setTableString(lua_State* L, const char* key, const std::string& value);
void setTableString(lua_State* L, const std::string& key, const char* value);
void setTableString(lua_State* L, const std::string& key, const std::string& value);

// The globals `_GetObjectValue` and `_SetObjectValue`.
void installObjectValueFunctions(lua_State* L);
void removeObjectValueFunctions(lua_State* L);

// The engine-wide object id counter.
uint32_t takeNextObjectId();
void resetNextObjectId();

}  // namespace Orvex::Script
