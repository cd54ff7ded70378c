#include "engine/script/CSampleUserdata.h"

#include <cstdio>

#include "engine/script/LuaObjectBinding.h"

namespace Orvex::Script {

void CSampleUserdata::push(lua_State* L) {
    CBaseUserdata::push(L);
    setTableFunction(L, "printId", &CSampleUserdata::printId);
    setTableFunction(L, "printParam", &CSampleUserdata::printParam);
}

std::unique_ptr<IUserdata> CSampleUserdata::create() const { return std::make_unique<CSampleUserdata>(); }

std::unique_ptr<IUserdata> CSampleUserdata::clone() const { return std::make_unique<CSampleUserdata>(getId()); }

int CSampleUserdata::printId(lua_State* L) {
    // Methods are called with a dot, so the object comes as an explicit argument.
    if (auto* self = dynamic_cast<CSampleUserdata*>(toObject(L, 1))) {
        std::printf("%d\n", static_cast<int>(self->getId()));
        std::fflush(stdout);
    }
    lua_settop(L, 0);
    return 0;
}

int CSampleUserdata::printParam(lua_State* L) {
    const int first = toObject(L, 1) != nullptr ? 2 : 1;
    if (lua_isstring(L, first) && lua_isstring(L, first + 1)) {
        std::printf("%s %s\n", lua_tostring(L, first), lua_tostring(L, first + 1));
        std::fflush(stdout);
    }
    lua_settop(L, 0);
    return 0;
}

}  // namespace Orvex::Script
