#pragma once
// One member value of a script object, kept on the native side.
#include <cstdint>
#include <string>
#include <utility>

namespace Orvex::Script {

class CLuaClassDataUnit {
public:
    // The Lua type of the stored value.
    enum Type : int32_t { kBoolean = 1, kNumber = 3, kString = 4 };

    CLuaClassDataUnit(int32_t unitType, std::string unitName) : type(unitType), name(std::move(unitName)) {}
    virtual ~CLuaClassDataUnit() = default;

    int32_t type;
    std::string name;
};

}  // namespace Orvex::Script
