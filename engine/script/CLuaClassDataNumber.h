#pragma once
// A boolean (0.0 or 1.0) or number member.
#include "engine/script/CLuaClassDataUnit.h"

namespace Orvex::Script {

class CLuaClassDataNumber : public CLuaClassDataUnit {
public:
    CLuaClassDataNumber(int32_t unitType, std::string unitName, double number)
        : CLuaClassDataUnit(unitType, std::move(unitName)), value(number) {}

    double value;
};

}  // namespace Orvex::Script
