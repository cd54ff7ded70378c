#include "game/services/CScriptController.h"

#include <gtest/gtest.h>

#include "game/services/IScriptCommand.h"
#include "game/services/ScriptUtility.h"
#include "platform/kernel/DebugOutput.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Orvex::Script::CScriptValue;

constexpr uint32_t kBlock = 0x20000;
const std::u16string kHostScript = u"Script/Test/host.lua";
// 35 UTF-16 units, 81 bytes of UTF-8: more than a chunk record's name holds.
const std::u16string kLongScript = u"Script/テスト/ああああああああああああああああああああ.lua";

std::vector<uint8_t> hostChunk() { return ScriptTest::readBytes(std::string(ORVEX_TEST_CHUNK_DIR) + "/host.lcd"); }

// A precompiled header followed by a source-name length of about 4 GB: the loader runs out of
// memory, and its message alone names nothing.
std::vector<uint8_t> damagedChunk() {
    return {0x1b, 'L', 'u', 'a', 0x51, 0, 1, 4, 8, 4, 8, 0, 0xf0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f};
}

class ScriptController : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, services_.reader,
                                {{u"Script/Test/host.lua.lcd", hostChunk(), false},
                                 {kLongScript + u".lcd", hostChunk(), false},
                                 {u"Script/Test/damaged.lua.lcd", damagedChunk(), false}});
        ASSERT_TRUE(host_.loadScript(kHostScript, kBlock));
        ASSERT_TRUE(host_.runMain());
    }

    std::vector<CScriptValue> call(const std::vector<std::string>& path, int count,
                                   const std::vector<CScriptValue>& args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunctionPath(results, path, count, args);
        EXPECT_EQ(lua_gettop(host_.getLuaState()), 0) << path.back();
        return results;
    }

    TempFolder folder_;
    ScriptTest::TestScriptServices services_;
    CScriptController host_{services_};
};

TEST_F(ScriptController, LoadsTheChunkIntoItsBlockAndRefusesASecondLoad) {
    EXPECT_EQ(host_.getScriptPath(), u"Script/Test/host.lua.lcd");
    EXPECT_EQ(host_.getChunkName(), "Script/Test/host.lua");
    const auto& chunks = host_.getLuaApi()->getChunks();
    ASSERT_NE(chunks.find("Script/Test/host.lua"), nullptr);
    EXPECT_EQ(chunks.used(), hostChunk().size());
    // The "Lua" module is attached to every state.
    ASSERT_EQ(host_.getModules().size(), 1u);
    lua_State* L = host_.getLuaState();
    lua_getglobal(L, "Lua");
    EXPECT_TRUE(lua_istable(L, -1));
    lua_settop(L, 0);

    host_.callVoid("count");
    EXPECT_FALSE(host_.loadScript(kHostScript, kBlock));
    EXPECT_EQ(host_.getLuaState(), L);
    CScriptValue counter;
    lua_getglobal(L, "counter");
    ASSERT_TRUE(CScriptValue::fromLua(L, -1, counter));
    lua_settop(L, 0);
    EXPECT_EQ(counter.asNumber(), 1.0);
}

TEST_F(ScriptController, ConvertsResultsTopDown) {
    struct Case {
        const char* function;
        int count;
        std::vector<std::pair<int32_t, std::string>> expected;  // tag and the value as text
    };
    const std::vector<Case> cases = {
        {"pair", 2, {{CScriptValue::kString, "a"}, {CScriptValue::kNumber, "1"}}},
        {"yes", 1, {{CScriptValue::kInteger, "1"}}},
        {"withNil", 2, {{CScriptValue::kNumber, "5"}}},  // the nil adds no entry
        {"numericString", 1, {{CScriptValue::kNumber, "42"}}},
        {"aTable", 1, {}},
        {"getValue", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        const auto results = call({c.function}, c.count);
        ASSERT_EQ(results.size(), c.expected.size());
        for (size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].getType(), c.expected[i].first);
            switch (results[i].getType()) {
                case CScriptValue::kString:
                    EXPECT_EQ(results[i].getText(), c.expected[i].second);
                    break;
                case CScriptValue::kInteger:
                    EXPECT_EQ(std::to_string(results[i].asInteger()), c.expected[i].second);
                    break;
                default:
                    EXPECT_EQ(results[i].asNumber(), std::stod(c.expected[i].second));
            }
        }
    }
}

TEST_F(ScriptController, PassesEveryArgumentKind) {
    int object = 0;
    const auto results = call({"echo"}, 5,
                              {CScriptValue(true), CScriptValue(2.5), CScriptValue(std::string("あい")),
                               CScriptValue(static_cast<void*>(&object)), CScriptValue::fromInteger(-7)});
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].getType(), CScriptValue::kNumber);
    EXPECT_EQ(results[0].asNumber(), -7.0);
    EXPECT_EQ(results[1].getType(), CScriptValue::kPointer);
    EXPECT_EQ(results[1].asPointer(), &object);
    EXPECT_EQ(results[2].getText(), "あい");
    EXPECT_EQ(results[3].asNumber(), 2.5);
    EXPECT_EQ(results[4].getType(), CScriptValue::kInteger);
    EXPECT_EQ(results[4].asInteger(), 1);

    std::vector<CScriptValue> one;
    host_.callFunctionWithArg(one, "twice", 1, CScriptValue(4.0));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].asNumber(), 8.0);
}

TEST_F(ScriptController, MissingNamesAfterTheFirstGiveIntegerZeros) {
    const auto found = call({"Actor", "Command", "doItem"}, 1, {CScriptValue(21.0)});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].asNumber(), 42.0);
    for (const std::vector<std::string>& path :
         {std::vector<std::string>{"Actor", "Command", "missing"},
          std::vector<std::string>{"Actor", "Missing", "doItem"},
          std::vector<std::string>{"Actor", "level", "doItem"}}) {  // a number is not searched
        SCOPED_TRACE(path[1] + "." + path[2]);
        const auto zeros = call(path, 2);
        ASSERT_EQ(zeros.size(), 2u);
        for (const CScriptValue& zero : zeros) {
            EXPECT_EQ(zero.getType(), CScriptValue::kInteger);
            EXPECT_EQ(zero.asInteger(), 0);
        }
    }
}

TEST_F(ScriptController, LeftoverStackValuesDoNotShiftResults) {
    lua_State* L = host_.getLuaState();
    lua_pushinteger(L, 9);
    lua_pushstring(L, "left");
    const auto results = call({"pair"}, 2);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].getText(), "a");
    EXPECT_EQ(results[1].asNumber(), 1.0);
}

TEST_F(ScriptController, CallForValueReadsOneResult) {
    CScriptValue out(std::string("stale"));
    host_.callForValue(out, "getValue");
    EXPECT_EQ(out.getType(), CScriptValue::kNumber);
    EXPECT_EQ(out.asNumber(), 7.0);
    host_.callForValue(out, "aTable");
    EXPECT_EQ(out.getType(), CScriptValue::kNil);
    EXPECT_EQ(lua_gettop(host_.getLuaState()), 0);
}

TEST_F(ScriptController, FailuresLeaveNoStateAndCloseAllowsAReload) {
    CScriptController other(services_);
    EXPECT_FALSE(other.attachCommand(nullptr));
    EXPECT_FALSE(other.loadScript(u"Script/Test/missing.lua", kBlock));
    EXPECT_FALSE(other.hasState());
    EXPECT_FALSE(other.runMain());
    // The archive reader is free again after a failed open.
    EXPECT_FALSE(services_.reader.isOpen());

    // A name the chunk cache cannot record would leave a state whose main chunk never runs.
    EXPECT_FALSE(other.loadScript(kLongScript, kBlock));
    EXPECT_FALSE(other.hasState());

    host_.close();
    EXPECT_FALSE(host_.hasState());
    EXPECT_TRUE(host_.getScriptPath().empty());
    ASSERT_TRUE(host_.loadScript(kHostScript, kBlock));
    // A main chunk missing from the cache closes the controller.
    host_.getLuaApi()->getChunks().clear();
    EXPECT_FALSE(host_.runMain());
    EXPECT_FALSE(host_.hasState());
}

// A native function that checks its arguments against the types of the current case.
std::vector<int32_t> g_expectedTypes;
int g_expectedCount = 0;

int checked(lua_State* L) {
    switch (g_expectedTypes.size()) {
        case 1:
            Fenwarrow::checkArguments(L, g_expectedCount, g_expectedTypes[0]);
            break;
        case 2:
            Fenwarrow::checkArguments(L, g_expectedCount, g_expectedTypes[0], g_expectedTypes[1]);
            break;
        default:
            Fenwarrow::checkArgumentList(L, g_expectedCount, {});
            break;
    }
    lua_pushstring(L, "passed");
    return 1;
}

TEST_F(ScriptController, CheckArgumentsReportsEveryMismatch) {
    using namespace Fenwarrow;
    struct Case {
        const char* arguments;
        int count;
        std::vector<int32_t> types;
        std::vector<std::string> messages;  // empty: the check passes
    };
    const std::vector<Case> cases = {
        {"1, 2, 3", 2, {kArgNumber, kArgNumber}, {"引数が3個渡されました、2個でなくてはいけません。\n"}},
        {"1.5, {}",
         2,
         {kArgInteger, kArgString},
         {"第1引数はinteger型でなければいけません。\n", "第2引数はstring型でなければいけません。\n"}},
        {"'12', print", 2, {kArgInteger, kArgCFunction}, {}},
        {"nil, Lua.nullPtr()", 2, {kArgNil, kArgLightUserdata}, {}},
        {"true", 1, {kArgTable}, {"第1引数はtable型でなければいけません。\n"}},
        {"true", 1, {12}, {"第1引数に未知のデータ型が指定されています。\n"}},
    };
    lua_State* L = host_.getLuaState();
    lua_register(L, "checked", &checked);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        g_expectedTypes = c.types;
        g_expectedCount = c.count;
        const std::string script = std::string("local ok, m = pcall(function() local r = callChecked(") + c.arguments +
                                   ") return r end) return ok, m";
        ASSERT_EQ(luaL_loadstring(L, script.c_str()), 0);
        lua_call(L, 0, 2);
        const bool passed = lua_toboolean(L, -2) != 0;
        const std::string message = lua_tostring(L, -1);
        lua_settop(L, 0);
        EXPECT_EQ(passed, c.messages.empty()) << message;
        if (c.messages.empty()) {
            EXPECT_EQ(message, "passed");
            continue;
        }
        EXPECT_EQ(message.rfind("Name: callChecked\nNameWhat: global\nSource: ", 0), 0u) << message;
        const size_t line = message.find("\nLine: ");
        ASSERT_NE(line, std::string::npos);
        std::string all;
        for (const std::string& m : c.messages) all += m;
        EXPECT_EQ(message.substr(message.find('\n', line + 1) + 1), all + "\n");
    }
}

TEST_F(ScriptController, CallbackThreadsKeepFunctionAndArgumentUntilReleased) {
    lua_State* L = host_.getLuaState();
    lua_getglobal(L, "twice");
    lua_pushinteger(L, 20);
    EXPECT_EQ(Fenwarrow::newCallbackThread(L, 1, 3), nullptr);
    EXPECT_EQ(Fenwarrow::newCallbackThread(L, 3, -1), nullptr);
    lua_State* withArgument = Fenwarrow::newCallbackThread(L, 1, 2);
    lua_State* bare = Fenwarrow::newCallbackThread(L, 1, -1);
    ASSERT_NE(withArgument, nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(lua_gettop(L), 2);
    lua_settop(L, 0);
    lua_gc(L, LUA_GCCOLLECT, 0);

    ASSERT_EQ(Fenwarrow::pushCallback(withArgument), 1);
    Fenwarrow::callLuaFunction(withArgument, 1, 1);
    EXPECT_EQ(lua_tointeger(withArgument, -1), 40);
    lua_pop(withArgument, 1);

    ASSERT_EQ(Fenwarrow::pushCallback(bare), 0);
    lua_pushinteger(bare, 5);
    Fenwarrow::callLuaFunction(bare, 1, 1);
    EXPECT_EQ(lua_tointeger(bare, -1), 10);
    lua_pop(bare, 1);

    for (lua_State* T : {withArgument, bare}) {
        Fenwarrow::releaseCallbackThread(T);
        lua_pushthread(T);
        lua_gettable(T, LUA_GLOBALSINDEX);
        EXPECT_TRUE(lua_isnil(T, -1));
        lua_pop(T, 1);
    }
}

TEST_F(ScriptController, LoadfileReadsArchiveEntriesIntoTheCache) {
    std::vector<std::u16string> lines;
    Platform::Kernel::setDebugSink([&](std::u16string_view line) { lines.emplace_back(line); });
    lua_State* L = host_.getLuaState();
    auto& api = *host_.getLuaApi();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Fenwarrow::luaEx_loadfile(api, "Script/Test/host.lua", services_.reader), 1);
        EXPECT_TRUE(lua_isfunction(L, -1));
        lua_settop(L, 0);
    }
    const Orvex::Script::CLuaChunk* record = api.getChunks().find("Script/Test/host.lua");
    ASSERT_NE(record, nullptr);
    // One copy per name: two whole copies would be joined into one broken chunk.
    for (auto* r = record->next; r != nullptr; r = r->next) {
        EXPECT_STRNE(r->name, "Script/Test/host.lua");
    }

    // A damaged entry is read but fails to load: the message on top names it, whatever the
    // loader's own words (a script's Lua.require raises it as the program's last line).
    int status = 0;
    ASSERT_EQ(Fenwarrow::luaEx_loadfile(api, "Script/Test/damaged.lua", services_.reader, nullptr, &status), 1);
    EXPECT_NE(status, 0);
    ASSERT_NE(lua_tostring(L, -1), nullptr);
    EXPECT_EQ(std::string(lua_tostring(L, -1)), "Script/Test/damaged.lua: not enough memory");
    lua_settop(L, 0);

    EXPECT_EQ(Fenwarrow::luaEx_loadfile(api, "Script/Test/none.lua", services_.reader), 0);
    EXPECT_EQ(lua_gettop(L), 0);
    Platform::Kernel::setDebugSink({});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), u"failed luaEx_loadfile() function.");
}

}  // namespace
