#pragma once
// The value record passed between native code and Lua functions.
#include <cstdint>
#include <string>

#include <lua.hpp>

namespace Orvex::Script {

class CScriptValue {
public:
    enum Type : int32_t {
        kNil = 0,
        kBoolean = 1,
        kNumber = 2,
        kString = 3,
        kPointer = 8,
        kInteger = 9,
    };

    CScriptValue();
    explicit CScriptValue(bool value);
    explicit CScriptValue(float value);
    explicit CScriptValue(double value);
    explicit CScriptValue(const char* text);
    explicit CScriptValue(const std::string& text);
    // Characters the system code page cannot hold become '?'.
    explicit CScriptValue(const std::u16string& text);
    explicit CScriptValue(const char16_t* text) : CScriptValue(std::u16string(text)) {}
    explicit CScriptValue(void* pointer);
    static CScriptValue fromInteger(int32_t value);

    std::u16string toWString() const;

    int32_t getType() const { return type; }
    bool asBool() const { return value.boolean != 0; }
    double asNumber() const { return value.number; }
    int32_t asInteger() const { return value.integer; }
    void* asPointer() const { return value.pointer; }
    const std::string& getText() const { return text; }

    // Pushes the Lua form of the value; a tag without a Lua form (4 to 7) pushes nothing, and so
    // does a stack at the library's native limit. Returns the number of values pushed.
    int push(lua_State* L) const;
    // Reads the value at `index` as a result: a number (numeric strings included) gives tag 2, a
    // boolean tag 9 holding 1 or 0, another string tag 3, a light userdata tag 8. Any other value
    // gives no record: false.
    static bool fromLua(lua_State* L, int index, CScriptValue& out);

    union Value {
        uint8_t boolean;
        double number;
        int32_t integer;
        void* pointer;
        uint8_t bytes[8];
    };
    static_assert(sizeof(Value) == 8);

    Value value{};
    int32_t type = kNil;
    std::string text;
};

}  // namespace Orvex::Script
