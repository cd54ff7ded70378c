#pragma once
// A native class that scripts may instantiate through `_CreateObject`.
#include <memory>

#include <lua.hpp>

namespace Orvex::Script {

class IUserdata {
public:
    virtual ~IUserdata() = default;
    // Makes a new object of this class with the next object id and leaves its Lua table, methods
    // included, on the stack. Lua's collector owns the new object.
    virtual void push(lua_State* L) = 0;
    virtual std::unique_ptr<IUserdata> create() const = 0;
    // A new object of this class carrying this object's id.
    virtual std::unique_ptr<IUserdata> clone() const = 0;
    virtual const char* getClassName() const = 0;
};

}  // namespace Orvex::Script
