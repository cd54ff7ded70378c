#pragma once
// How command modules read the arguments of a script call, and which object pointers a script
// may hand back. Module functions check neither the count nor the types of their arguments: a
// missing or mistyped argument reads as 0, false or an empty text.
#include <cstdint>
#include <string>
#include <string_view>

#include <lua.hpp>

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow::ScriptArguments {

// A script number as a 32-bit value; NaN reads as 0 and anything beyond the range as its
// nearest end, so that a wild value falls outside a map or list instead of wrapping into it.
int32_t intArg(lua_State* L, int index);
float floatArg(lua_State* L, int index);
// true or the number 1 (scripts pass both).
bool flagArg(lua_State* L, int index);
// The argument's bytes (numbers in their text form); empty when it has none.
std::string textArg(lua_State* L, int index);
// The same text as UTF-16; empty when it has none or it is not valid UTF-8.
std::u16string wideArg(lua_State* L, int index);

// Pushes the text as the script's narrow (UTF-8) string.
void pushText(lua_State* L, std::u16string_view text);

// Objects a host lends to the scripts of one Lua state: its own cell object's sprite, an object
// a module function handed out. A module that takes such a pointer back accepts it only while
// it is lent to that state (coroutines share the registry of their state), so a number or a
// pointer from elsewhere reads as no object. The lending lasts until withdrawn or the state
// closes.
void lendObject(lua_State* L, const void* object);
void withdrawObject(lua_State* L, const void* object);
bool isLentObject(lua_State* L, const void* object);

// The serializer of an actor script's "serialize" or "deserialize" call, current for the state
// (and lent to it) while the call runs. Scripts receive it as their one argument or after a
// count and hand back whichever they took, so the functions that read or write it go by the
// current one rather than by their argument. Null outside such a call.
void beginSerializerCall(lua_State* L, Orvex::Serialization::OxSerializer* serializer);
void endSerializerCall(lua_State* L, Orvex::Serialization::OxSerializer* serializer);
Orvex::Serialization::OxSerializer* currentSerializer(lua_State* L);

}  // namespace Fenwarrow::ScriptArguments
