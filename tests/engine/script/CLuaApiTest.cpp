#include "engine/script/CLuaApi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/script/CFileManager.h"
#include "platform/kernel/Waitable.h"
#include "tests/engine/script/LuaTestSupport.h"
#include "tests/support/HangGuard.h"

namespace Orvex::Script {
namespace {

using Testing::chunkPath;
using Testing::readBytes;

class CLuaApiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(api.createState()); }

    double globalNumber(const char* name) {
        lua_getfield(api.getState(), LUA_GLOBALSINDEX, name);
        const double value = lua_tonumber(api.getState(), -1);
        lua_pop(api.getState(), 1);
        return value;
    }

    bool add(const char* name, const uint8_t* bytes, size_t size) {
        return api.getChunks().addChunk(name, bytes, static_cast<uint32_t>(size)) != nullptr;
    }

    std::vector<uint8_t> area = std::vector<uint8_t>(8192);
    CLuaApi api{area.data(), static_cast<uint32_t>(area.size())};
};

TEST_F(CLuaApiTest, CompiledChunkRunsFromTheCache) {
    const std::vector<uint8_t> bytes = readBytes(chunkPath("chunk"));
    ASSERT_GT(bytes.size(), 8u) << chunkPath("chunk");
    EXPECT_EQ(bytes[0], 0x1B) << "a precompiled chunk";
    ASSERT_TRUE(add("chunk", bytes.data(), bytes.size()));
    EXPECT_EQ(api.doChunk("chunk"), 0);
    EXPECT_EQ(globalNumber("chunkRuns"), 1.0);
    EXPECT_EQ(api.callFunctionForInteger("chunkAnswer", 2, 1, "6", std::string("7")), 42);
    EXPECT_EQ(api.doChunk("never added"), CLuaApi::kNoChunk);
}

TEST_F(CLuaApiTest, PiecesOfOneNameRunJoined) {
    // A compiled chunk cut in two, with an unrelated piece between the halves.
    const std::vector<uint8_t> bytes = readBytes(chunkPath("chunk"));
    ASSERT_GT(bytes.size(), 8u);
    const size_t half = bytes.size() / 2;
    const std::string junk = "error('the piece named b must not run')";
    // The second half does not fit the area: joining must cross into the outside block too.
    std::vector<uint8_t> small(half + 4);
    CLuaApi tight(small.data(), static_cast<uint32_t>(small.size()));
    ASSERT_TRUE(tight.createState());
    ASSERT_NE(tight.getChunks().addChunk("a", bytes.data(), static_cast<uint32_t>(half)), nullptr);
    ASSERT_NE(tight.getChunks().addChunk("b", reinterpret_cast<const uint8_t*>(junk.data()),
                                         static_cast<uint32_t>(junk.size())),
              nullptr);
    CLuaChunk* second =
        tight.getChunks().addChunk("a", bytes.data() + half, static_cast<uint32_t>(bytes.size() - half));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->external);
    EXPECT_EQ(tight.doChunk("a"), 0);
    lua_getfield(tight.getState(), LUA_GLOBALSINDEX, "chunkRuns");
    EXPECT_EQ(lua_tonumber(tight.getState(), -1), 1.0);
}

TEST_F(CLuaApiTest, ProtectedRunsReportFailureWithTheMessage) {
    struct Case {
        const char* text;
        int status;
        const char* message;  // a part of the message left on the stack
    };
    const Case cases[] = {
        {"x = 5", 0, nullptr},
        {"x = = 5", 1, "unexpected symbol"},
        {"error('boom')", 1, "boom"},
    };
    for (const Case& c : cases) {
        lua_settop(api.getState(), 0);
        EXPECT_EQ(api.doString(c.text), c.status) << c.text;
        if (c.message != nullptr) {
            const char* message = lua_tostring(api.getState(), -1);
            ASSERT_NE(message, nullptr) << c.text;
            EXPECT_NE(std::string(message).find(c.message), std::string::npos) << message;
        }
    }
    EXPECT_EQ(globalNumber("x"), 5.0);

    EXPECT_EQ(api.doFile("no\\such\\file.lua"), 1);
    const std::string path = ::testing::TempDir() + "orvex_dofile.lua";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("fromFile = 3", file);
    std::fclose(file);
    EXPECT_EQ(api.doFile(path.c_str()), 0);
    EXPECT_EQ(globalNumber("fromFile"), 3.0);
    std::remove(path.c_str());
}

TEST_F(CLuaApiTest, AHugeLengthInADamagedChunkIsRefusedAsOutOfMemory) {
    // The first string of a precompiled chunk (its source name) follows the 12-byte header with
    // its length; a flipped byte there once asked the allocator for hundreds of gigabytes.
    std::vector<uint8_t> bytes = readBytes(chunkPath("chunk"));
    ASSERT_GT(bytes.size(), 20u);
    const uint64_t huge = uint64_t{1} << 30;  // one the system would grant, yet no script needs
    std::memcpy(bytes.data() + 12, &huge, sizeof huge);
    lua_State* L = api.getState();
    EXPECT_EQ(luaL_loadbuffer(L, reinterpret_cast<const char*>(bytes.data()), bytes.size(), "damaged"), LUA_ERRMEM);
    EXPECT_EQ(api.doString("after = 1"), 0) << "the state stays usable";
}

int nativeSum(lua_State* L) {
    lua_pushnumber(L, lua_tonumber(L, 1) + lua_tonumber(L, 2));
    return 1;
}

TEST_F(CLuaApiTest, RegisteredFunctionsAndCalls) {
    api.registerFunction("sum", &nativeSum);
    ASSERT_EQ(api.doString("r = sum(2, 3)"), 0);
    EXPECT_EQ(globalNumber("r"), 5.0);

    ASSERT_EQ(api.doString("function join(a, b) last = a .. '+' .. b; return 9, 8 end"), 0);
    lua_settop(api.getState(), 0);
    EXPECT_EQ(api.callFunction("join", 2, "p", "q"), 0);
    EXPECT_EQ(lua_gettop(api.getState()), 0) << "no results kept";
    lua_getfield(api.getState(), LUA_GLOBALSINDEX, "last");
    EXPECT_STREQ(lua_tostring(api.getState(), -1), "p+q");
    lua_settop(api.getState(), 0);
    EXPECT_EQ(api.callFunctionForInteger("join", 2, 2, "a", "b"), 9);
    EXPECT_EQ(lua_gettop(api.getState()), 2) << "the results stay";
    EXPECT_EQ(api.callFunctionForInteger("join", 2, 0, "a", "b"), 1);
    EXPECT_EQ(api.callFunction("join", 3, "only one"), CLuaApi::kStackShort);

    lua_pushinteger(api.getState(), 1);
    api.unregisterFunction("sum");
    EXPECT_EQ(lua_gettop(api.getState()), 0);
    EXPECT_EQ(api.doString("sum(1, 2)"), 1);
}

// The library lets a native caller use a limited number of stack slots: calls that would need
// more are refused before anything is pushed.
TEST_F(CLuaApiTest, CallsBeyondTheNativeStackLimitAreRefused) {
    ASSERT_EQ(api.doString("function count(...) counted = select('#', ...) end"), 0);
    lua_settop(api.getState(), 0);
    const std::vector<std::string> storage(9000, "s");
    std::vector<const char*> strings;
    for (const std::string& s : storage) {
        strings.push_back(s.c_str());
    }
    EXPECT_EQ(api.callFunctionArgs("count", 9000, 0, strings.data()), CLuaApi::kStackShort);
    EXPECT_EQ(api.callFunctionArgs("count", 0, 9000, nullptr), CLuaApi::kStackShort);
    EXPECT_EQ(lua_gettop(api.getState()), 0);
    EXPECT_EQ(api.callFunctionArgs("count", 500, 0, strings.data()), 0);
    EXPECT_EQ(globalNumber("counted"), 500.0);
}

TEST_F(CLuaApiTest, ThreadSharesGlobalsAndCloseLeavesTheParentOpen) {
    std::vector<uint8_t> threadArea(1024);
    {
        CLuaApi thread(threadArea.data(), static_cast<uint32_t>(threadArea.size()));
        ASSERT_TRUE(thread.createThread(api.getState()));
        EXPECT_TRUE(thread.isThread());
        EXPECT_EQ(lua_type(api.getState(), -1), LUA_TTHREAD) << "left on the parent's stack";
        ASSERT_EQ(thread.doString("shared = 11"), 0);
        const uint8_t piece[] = "y = 1";
        ASSERT_NE(thread.getChunks().addChunk("p", piece, 5), nullptr);
        thread.close();
        EXPECT_EQ(thread.getState(), nullptr);
        EXPECT_EQ(thread.getChunks().head(), nullptr) << "close empties the chunk cache";
    }
    EXPECT_EQ(globalNumber("shared"), 11.0);
    EXPECT_EQ(api.doString("z = 1"), 0) << "the parent still runs";
}

using CLuaApiDeathTest = CLuaApiTest;

// An unprotected error ends the process with status 1 after the panic handler has written a
// bounded message.
TEST_F(CLuaApiDeathTest, PanicWritesABoundedMessageAndExits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* script;
        const char* expected;  // regex on stderr
    };
    const Case cases[] = {
        // cut to the buffer: a run of at most 1023 characters
        {"error(string.rep('x', 5000))", "Lua error: [^x]*x{1000,1023}\n"},
        {"error({})", "Lua error: \\(error object\\)"},
        {"error(42, 0)", "Lua error: 42\n"},
        {"undefinedFunction()", "Lua error: .*attempt to call"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                const std::string text = c.script;
                api.runBuffer(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "=panic");
            },
            ::testing::ExitedWithCode(1), c.expected)
            << c.script;
    }
}

TEST_F(CLuaApiDeathTest, ChunkThatFailsToLoadExitsNamingTheChunk) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const uint8_t broken[] = "function (";
    ASSERT_NE(api.getChunks().addChunk("Script/Broken", broken, sizeof broken - 1), nullptr);
    EXPECT_EXIT(api.doChunk("Script/Broken"), ::testing::ExitedWithCode(1), "Lua error: .*Script/Broken");
}

// A damaged precompiled chunk can claim a huge size: the loader's message ("not enough memory")
// names nothing, so the user would not know which entry is broken.
TEST_F(CLuaApiDeathTest, DamagedPrecompiledChunkExitsNamingTheChunk) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A precompiled header followed by a source-name length of about 4 GB.
    const uint8_t damaged[] = {0x1b, 'L', 'u',  'a',  0x51, 0,    1,    4,    8,    4,
                               8,    0,   0xf0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f};
    ASSERT_NE(api.getChunks().addChunk("Script/Damaged", damaged, sizeof damaged), nullptr);
    EXPECT_EXIT(api.doChunk("Script/Damaged"), ::testing::ExitedWithCode(1), "Lua error: .*Script/Damaged");
}

// The error is raised on another thread while the main thread waits on a kernel event, as the
// program's main thread waits for its others: the process still ends, with status 1 and the
// message. The guard turns a hang into a failure.
TEST_F(CLuaApiDeathTest, PanicOnAnotherThreadEndsTheProcessWhileOthersWait) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            endThisProcessAfter(std::chrono::seconds(20));
            Platform::Kernel::KernelEvent never;
            std::thread worker([this] {
                const std::string text = "error('raised on a worker')";
                api.runBuffer(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "=worker");
            });
            worker.detach();
            Platform::Kernel::waitForOne(never, Platform::Kernel::kInfinite);
        },
        ::testing::ExitedWithCode(1), "Lua error: worker:1: raised on a worker\n");
}

}  // namespace
}  // namespace Orvex::Script
