#pragma once
// A string member; the unit keeps its own copy of the text.
#include "engine/script/CLuaClassDataUnit.h"

namespace Orvex::Script {

class CLuaClassDataString : public CLuaClassDataUnit {
public:
    CLuaClassDataString(std::string unitName, std::string value)
        : CLuaClassDataUnit(kString, std::move(unitName)), text(std::move(value)) {}

    std::string text;
};

}  // namespace Orvex::Script
