#include "engine/script/LuaIntegral.h"

#include <cmath>
#include <cstdint>

int lua_isintegral(lua_State* L, int index) {
    if (!lua_isnumber(L, index)) {
        return 0;
    }
    const double value = lua_tonumber(L, index);
    // The range test also turns NaN away.
    if (!(value >= static_cast<double>(INT32_MIN) && value <= static_cast<double>(INT32_MAX))) {
        return 0;
    }
    return static_cast<double>(static_cast<int32_t>(std::nearbyint(value))) == value ? 1 : 0;
}
