// Script-side tests: compiled chunks run through the state wrapper and drive the native objects and
// values the way game scripts do.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/script/CBaseUserdata.h"
#include "engine/script/CFileManager.h"
#include "engine/script/CLuaApi.h"
#include "engine/script/CScriptValue.h"
#include "engine/script/CUserdataRegistry.h"
#include "engine/script/LuaIntegral.h"
#include "engine/script/LuaObjectBinding.h"
#include "platform/kernel/Process.h"
#include "tests/engine/script/LuaTestSupport.h"

namespace Orvex::Script {
namespace {

using Testing::chunkPath;
using Testing::readBytes;
using Testing::runScriptTests;

int restartFactory(lua_State* L) {
    removeObjectFactory(L);
    installObjectFactory(L);
    return 0;
}

int objectId(lua_State* L) {
    auto* object = dynamic_cast<CBaseUserdata*>(toObject(L, 1));
    if (object == nullptr) {
        return 0;
    }
    lua_pushinteger(L, object->getId());
    return 1;
}

std::string testFilePath() {
    return (std::filesystem::temp_directory_path() /
            ("orvex_script_test_" + std::to_string(Platform::Kernel::processId()) + ".txt"))
        .string();
}

int tempPath(lua_State* L) {
    lua_pushstring(L, testFilePath().c_str());
    return 1;
}

int echo(lua_State* L) {
    std::vector<CScriptValue> values;
    for (int i = 1; i <= lua_gettop(L); ++i) {
        CScriptValue value;
        if (CScriptValue::fromLua(L, i, value)) {
            values.push_back(value);
        }
    }
    lua_settop(L, 0);
    int pushed = 0;
    for (const CScriptValue& value : values) {
        pushed += value.push(L);
    }
    return pushed;
}

int isIntegral(lua_State* L) {
    const int top = lua_gettop(L);
    const int result = lua_isintegral(L, 1);
    if (lua_gettop(L) != top) {
        return luaL_error(L, "the integral test changed the stack");
    }
    lua_pushboolean(L, result);
    return 1;
}

class LuaScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(api.createState());
        installObjectFactory(api.getState());
        api.registerFunction("restartFactory", &restartFactory);
        api.registerFunction("objectId", &objectId);
        api.registerFunction("tempPath", &tempPath);
        api.registerFunction("echo", &echo);
        api.registerFunction("isIntegral", &isIntegral);
    }
    void TearDown() override {
        removeObjectFactory(api.getState());
        api.close();
        CFileManager::closeAllFiles();
        std::error_code ignored;
        std::filesystem::remove(testFilePath(), ignored);
    }

    // Stores the compiled script in the chunk cache and runs it from there.
    void runChunk(const std::string& stem) {
        const std::vector<uint8_t> bytes = readBytes(chunkPath(stem));
        ASSERT_FALSE(bytes.empty()) << chunkPath(stem);
        ASSERT_NE(api.getChunks().addChunk(stem.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size())), nullptr);
        ASSERT_EQ(api.doChunk(stem.c_str()), 0);
    }

    std::vector<uint8_t> area = std::vector<uint8_t>(65536);
    CLuaApi api{area.data(), static_cast<uint32_t>(area.size())};
};

TEST_F(LuaScriptTest, ObjectBindingFromScript) {
    runChunk("binding");
    for (const std::string& failure : runScriptTests(api.getState())) {
        ADD_FAILURE() << failure;
    }
}

TEST_F(LuaScriptTest, ValuesFromScript) {
    runChunk("values");
    for (const std::string& failure : runScriptTests(api.getState())) {
        ADD_FAILURE() << failure;
    }
}

}  // namespace
}  // namespace Orvex::Script
