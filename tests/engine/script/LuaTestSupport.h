#pragma once
// Helpers shared by the script tests.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/script/CLuaApi.h"

namespace Orvex::Script::Testing {

// The compiled test scripts, built from tests/engine/script/lua by the chunk compiler.
inline std::string chunkPath(const std::string& stem) {
    return std::string(ORVEX_TEST_CHUNK_DIR) + "/" + stem + ".lcd";
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Runs every function of the global table `tests` protected; returns "name: message" lines for
// the ones that raised an error, or a note when the table is missing.
inline std::vector<std::string> runScriptTests(lua_State* L) {
    std::vector<std::string> failures;
    lua_getfield(L, LUA_GLOBALSINDEX, "tests");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return {"the script defines no table `tests`"};
    }
    int ran = 0;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {  // tests name fn
        const std::string name = lua_tostring(L, -2);
        if (lua_pcall(L, 0, 0, 0) != 0) {  // tests name [message]
            const char* message = lua_tostring(L, -1);
            failures.push_back(name + ": " + (message != nullptr ? message : "(error object)"));
            lua_pop(L, 1);
        }
        ++ran;
    }
    lua_pop(L, 1);
    if (ran == 0) {
        failures.push_back("the table `tests` is empty");
    }
    return failures;
}

}  // namespace Orvex::Script::Testing
