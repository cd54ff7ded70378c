#include "game/services/CLuaCommand.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/input/OxInputSystem.h"
#include "engine/input/OxKeyboardDevice.h"
#include "engine/io/OxPathUtility.h"
#include "engine/random/OxRandomRange.h"
#include "engine/script/LuaIntegral.h"
#include "engine/system/OxStringConvert.h"
#include "game/services/ScriptCommandTable.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptUtility.h"
#include "engine/system/OxSystemFacade.h"

// Every function below may leave by longjmp (a Lua error, or an error raised by a script it
// runs): none keeps a native object with a destructor alive across such a call.

namespace Fenwarrow::ScriptCommand {

namespace {

int noModule(lua_State* L) { return luaL_error(L, "Lua: no module object is attached to this state"); }

int pushFalse(lua_State* L) {
    lua_pushboolean(L, 0);
    return 1;
}

int isDebug(lua_State* L) { return pushFalse(L); }
int isRelease(lua_State* L) { return pushFalse(L); }

int isMaster(lua_State* L) {
    lua_pushboolean(L, 1);
    return 1;
}

int startTimer(lua_State* L) {
    CLuaCommand* module = CLuaCommand::fromState(L);
    if (module == nullptr) {
        return noModule(L);
    }
    module->getTimer().restart();
    return 0;
}

int stopTimer(lua_State* L) {
    CLuaCommand* module = CLuaCommand::fromState(L);
    if (module == nullptr) {
        return noModule(L);
    }
    lua_pushnumber(L, static_cast<lua_Number>(module->getTimer().getElapsed()));
    return 1;
}

int sleepThread(lua_State* L) {
    const lua_Number ms = lua_tonumber(L, 1);
    // NaN, negative and huge values do not become undefined conversions.
    const lua_Number bounded = std::isnan(ms) ? 0.0 : std::clamp(ms, 0.0, 4294967295.0);
    Orvex::System::sleepMilliseconds(static_cast<uint32_t>(bounded));
    return 0;
}

// An integral number is the key number itself; anything else names the key by the code of its
// text's first character, taken as a signed byte.
uint32_t keyArgument(lua_State* L) {
    if (lua_type(L, 1) == LUA_TNUMBER && lua_isintegral(L, 1)) {
        return static_cast<uint32_t>(lua_tointeger(L, 1));
    }
    const char* text = lua_tostring(L, 1);
    const auto first = static_cast<signed char>(text != nullptr ? text[0] : 0);
    return static_cast<uint32_t>(static_cast<int32_t>(first));
}

// Reads the physical keyboard, past the virtual keys and the replay.
bool testKeyboard(uint32_t key, bool pushed) {
    Orvex::InputSystem::OxInputSystem* input = Orvex::InputSystem::OxInputSystem::getInstance();
    if (input == nullptr) {
        return false;
    }
    input->createDevice(Orvex::InputSystem::kDeviceKeyboard, 0);
    const std::shared_ptr<Orvex::InputSystem::OxKeyboardDevice> keyboard = input->getKeyboardDevice();
    if (keyboard == nullptr) {
        return false;
    }
    return pushed ? keyboard->isPushed(key) : keyboard->isDown(key);
}

int isKeyboardPress(lua_State* L) {
    lua_pushboolean(L, testKeyboard(keyArgument(L), false));
    return 1;
}

int isKeyboardPush(lua_State* L) {
    lua_pushboolean(L, testKeyboard(keyArgument(L), true));
    return 1;
}

int stackDump(lua_State* L) {
    luaStackDump(L);
    return 0;
}

int print(lua_State* L) {
    if (lua_gettop(L) >= 1) {
        lua_tolstring(L, 1, nullptr);
    }
    return 0;
}

int loadfile(lua_State* L) {
    CLuaCommand* module = CLuaCommand::fromState(L);
    if (module == nullptr || module->getLuaApi() == nullptr) {
        return noModule(L);
    }
    const char* name = lua_tostring(L, 1);
    // The chunk goes onto the calling state, which may be a coroutine of the controller's state.
    return luaEx_loadfile(*module->getLuaApi(), name != nullptr ? name : "", module->getServices().getArchiveReader(),
                          L);
}

// Loads `name` and runs it with no arguments; one result: the topmost value it returned, or nil.
int runFile(lua_State* L, const char* name) {
    CLuaCommand* module = CLuaCommand::fromState(L);
    if (module == nullptr || module->getLuaApi() == nullptr) {
        return noModule(L);
    }
    const int base = lua_gettop(L);
    int status = 0;
    if (luaEx_loadfile(*module->getLuaApi(), name, module->getServices().getArchiveReader(), L, &status) == 0) {
        return luaL_error(L, "Lua: cannot read the script \"%s\"", name);
    }
    if (status != 0) {
        return lua_error(L);
    }
    lua_call(L, 0, LUA_MULTRET);
    if (lua_gettop(L) == base) {
        lua_pushnil(L);
    }
    return 1;
}

int dofile(lua_State* L) {
    const char* name = lua_tostring(L, 1);
    lua_settop(L, 1);
    return runFile(L, name != nullptr ? name : "");
}

int require(lua_State* L) {
    {
        size_t length = 0;
        const char* text = lua_tolstring(L, 1, &length);
        std::string path(text != nullptr ? text : "", text != nullptr ? length : 0);
        std::replace(path.begin(), path.end(), '.', '\\');
        path += ".lua";
        lua_settop(L, 0);
        lua_pushlstring(L, path.data(), path.size());
    }
    return runFile(L, lua_tostring(L, 1));
}

int yield(lua_State* L) {
    if (lua_gettop(L) == 0) {
        lua_pushnil(L);
    }
    return lua_yield(L, 1);
}

int isNull(lua_State* L) {
    lua_pushboolean(L, !lua_isuserdata(L, 1) || lua_touserdata(L, 1) == nullptr);
    return 1;
}

int nullPtr(lua_State* L) {
    lua_pushlightuserdata(L, nullptr);
    return 1;
}

// '*' matches any run of characters, '?' exactly one.
bool matchesWildcard(std::u16string_view name, std::u16string_view pattern) {
    size_t n = 0;
    size_t p = 0;
    size_t starPattern = std::u16string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::u16string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

// The names in the pattern's folder that match its last part: "." and ".." first when they
// match, then the others in name order.
std::vector<std::string> findFiles(const std::string& narrowPattern) {
    std::vector<std::string> found;
    std::u16string pattern;
    if (!Orvex::System::toWideString(narrowPattern, pattern)) {
        return found;
    }
    pattern = Orvex::IO::normalizeSeparators(pattern);
    if (pattern == u"*.*") {
        pattern = u"*";
    }
    const size_t split = pattern.rfind(u'\\');
    std::u16string folder = split == std::u16string::npos ? u"" : pattern.substr(0, split);
    std::u16string mask = split == std::u16string::npos ? pattern : pattern.substr(split + 1);
    if (mask == u"*.*") {
        mask = u"*";
    }
    const bool absolute = split == 0 || (pattern.size() > 1 && pattern[1] == u':');
    if (!absolute) {
        folder = Orvex::IO::getBaseDirectory() + (folder.empty() ? u"" : u"\\" + folder);
    } else if (folder.empty()) {
        folder = u"\\";
    }
    const std::string native = Orvex::IO::toNativePath(folder);
    std::error_code error;
    if (native.empty() || !std::filesystem::is_directory(native, error)) {
        return found;
    }
    for (const char* dots : {".", ".."}) {
        if (matchesWildcard(Orvex::System::widen(dots), mask)) {
            found.emplace_back(dots);
        }
    }
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(native, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::u16string wide;
        if (Orvex::System::toWideString(name, wide) && matchesWildcard(wide, mask)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    found.insert(found.end(), names.begin(), names.end());
    return found;
}

int dir(lua_State* L) {
    const char* pattern = lua_tostring(L, 1);
    {
        const std::vector<std::string> names = findFiles(pattern != nullptr ? pattern : "");
        lua_newtable(L);
        lua_Integer index = 1;
        for (const std::string& name : names) {
            lua_pushlstring(L, name.data(), name.size());
            lua_rawseti(L, -2, static_cast<int>(index++));
        }
    }
    return 1;
}

Orvex::Random::IOrvexRandomGenerator* generatorOf(lua_State* L) {
    CLuaCommand* module = CLuaCommand::fromState(L);
    return module != nullptr ? &module->getServices().getRandomGenerator() : nullptr;
}

int randomSetSeed(lua_State* L) {
    Orvex::Random::IOrvexRandomGenerator* generator = generatorOf(L);
    if (generator == nullptr) {
        return noModule(L);
    }
    generator->seed(static_cast<uint32_t>(lua_tointeger(L, 1)));
    return 0;
}

int randomGet(lua_State* L) {
    Orvex::Random::IOrvexRandomGenerator* generator = generatorOf(L);
    if (generator == nullptr) {
        return noModule(L);
    }
    lua_pushnumber(L, static_cast<lua_Number>(generator->next()));
    return 1;
}

int randomGetRange(lua_State* L) {
    Orvex::Random::IOrvexRandomGenerator* generator = generatorOf(L);
    if (generator == nullptr) {
        return noModule(L);
    }
    const auto lo = static_cast<int32_t>(lua_tointeger(L, 1));
    const auto hi = static_cast<int32_t>(lua_tointeger(L, 2));
    lua_pushinteger(L, Orvex::Random::getRange(*generator, lo, hi));
    return 1;
}

int randomGetRangeReal(lua_State* L) {
    Orvex::Random::IOrvexRandomGenerator* generator = generatorOf(L);
    if (generator == nullptr) {
        return noModule(L);
    }
    const auto lo = static_cast<float>(lua_tonumber(L, 1));
    const auto hi = static_cast<float>(lua_tonumber(L, 2));
    lua_pushnumber(L, static_cast<lua_Number>(Orvex::Random::getRangeReal(*generator, lo, hi)));
    return 1;
}

// The argument as a wide string; empty when it is no text or cannot be converted.
std::u16string wideArgument(lua_State* L, int index) {
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    std::u16string wide;
    if (text != nullptr && !Orvex::System::toWideString(std::string(text, length), wide)) {
        wide.clear();
    }
    return wide;
}

int stringLen(lua_State* L) {
    const auto length = static_cast<lua_Integer>(wideArgument(L, 1).size());
    lua_pushinteger(L, length);
    return 1;
}

int stringGet(lua_State* L) {
    const lua_Integer index = lua_tointeger(L, 2);
    {
        const std::u16string wide = wideArgument(L, 1);
        if (index < 0 || static_cast<size_t>(index) >= wide.size()) {
            return 0;
        }
        std::string character;
        if (!Orvex::System::toMultiByteString(wide.substr(static_cast<size_t>(index), 1), character)) {
            return 0;
        }
        lua_pushlstring(L, character.data(), character.size());
    }
    return 1;
}

}  // namespace

bool CLuaCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    api_ = controller.getLuaApi();
    registerScriptTable(L, {"Lua",
                            {
                                {"isDebug", &isDebug},
                                {"isRelease", &isRelease},
                                {"isMaster", &isMaster},
                                {"startTimer", &startTimer},
                                {"stopTimer", &stopTimer},
                                {"sleepThread", &sleepThread},
                                {"isKeyboardPress", &isKeyboardPress},
                                {"isKeyboardPush", &isKeyboardPush},
                                {"stackDump", &stackDump},
                                {"print", &print},
                                {"loadfile", &loadfile},
                                {"dofile", &dofile},
                                {"require", &require},
                                {"yield", &yield},
                                {"isNull", &isNull},
                                {"nullPtr", &nullPtr},
                                {"dir", &dir},
                            },
                            {
                                {"Random",
                                 {
                                     {"setSeed", &randomSetSeed},
                                     {"get", &randomGet},
                                     {"getRange", &randomGetRange},
                                     {"getRangeReal", &randomGetRangeReal},
                                 },
                                 {}},
                                {"String", {{"len", &stringLen}, {"get", &stringGet}}, {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
