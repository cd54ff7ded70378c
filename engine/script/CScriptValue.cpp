#include "engine/script/CScriptValue.h"

#include "engine/system/OxStringConvert.h"

namespace Orvex::Script {

CScriptValue::CScriptValue() = default;

CScriptValue::CScriptValue(bool v) : type(kBoolean) { value.boolean = v ? 1 : 0; }

CScriptValue::CScriptValue(float v) : type(kNumber) { value.number = static_cast<double>(v); }

CScriptValue::CScriptValue(double v) : type(kNumber) { value.number = v; }

CScriptValue::CScriptValue(const char* t) : type(kString), text(t != nullptr ? t : "") {}

CScriptValue::CScriptValue(const std::string& t) : type(kString), text(t) {}

CScriptValue::CScriptValue(const std::u16string& t) : type(kString) {
    if (!System::toMultiByteString(t, text)) {
        text = System::narrow(t);
    }
}

CScriptValue::CScriptValue(void* pointer) : type(kPointer) { value.pointer = pointer; }

CScriptValue CScriptValue::fromInteger(int32_t v) {
    CScriptValue result;
    result.type = kInteger;
    result.value.integer = v;
    return result;
}

std::u16string CScriptValue::toWString() const {
    std::u16string wide;
    if (!System::toWideString(text, wide)) {
        wide = System::widen(text);
    }
    return wide;
}

int CScriptValue::push(lua_State* L) const {
    // The native stack limit of the library may leave no room: nothing is pushed then.
    if (!lua_checkstack(L, 1)) {
        return 0;
    }
    switch (type) {
        case kNil:
            lua_pushnil(L);
            return 1;
        case kBoolean:
            lua_pushboolean(L, value.boolean != 0);
            return 1;
        case kNumber:
            lua_pushnumber(L, value.number);
            return 1;
        case kString:
            lua_pushlstring(L, text.data(), text.size());
            return 1;
        case kPointer:
            lua_pushlightuserdata(L, value.pointer);
            return 1;
        case kInteger:
            lua_pushinteger(L, value.integer);
            return 1;
        default:
            return 0;
    }
}

bool CScriptValue::fromLua(lua_State* L, int index, CScriptValue& out) {
    if (lua_isnumber(L, index)) {
        out = CScriptValue(static_cast<double>(lua_tonumber(L, index)));
        return true;
    }
    switch (lua_type(L, index)) {
        case LUA_TBOOLEAN:
            out = fromInteger(lua_toboolean(L, index) ? 1 : 0);
            return true;
        case LUA_TSTRING: {
            size_t length = 0;
            const char* s = lua_tolstring(L, index, &length);
            out = CScriptValue(std::string(s, length));
            return true;
        }
        case LUA_TLIGHTUSERDATA:
            out = CScriptValue(lua_touserdata(L, index));
            return true;
        default:
            return false;
    }
}

}  // namespace Orvex::Script
