#include "game/services/CLuaCommand.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "engine/random/OxRandomRange.h"
#include "game/services/CScriptController.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Orvex::Script::CScriptValue;

std::vector<uint8_t> chunk(const std::string& stem) {
    return ScriptTest::readBytes(std::string(ORVEX_TEST_CHUNK_DIR) + "/" + stem + ".lcd");
}

class LuaModule : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, services_.reader,
                                {{u"Script/Test/luamodule.lua.lcd", chunk("luamodule"), false},
                                 {u"Script/Test/lib/values.lua.lcd", chunk("lib/values"), false},
                                 {u"Script/Test/lib/empty.lua.lcd", chunk("lib/empty"), false},
                                 {u"Script/Test/lib/counter.lua.lcd", chunk("lib/counter"), false},
                                 {u"Script/Test/lib/broken.lua.lcd", ScriptTest::textBytes("return (("), false}});
        ASSERT_TRUE(host_.loadScript(u"Script/Test/luamodule.lua", 0x20000));
        ASSERT_TRUE(host_.runMain());
    }

    // Results come back last value first.
    std::vector<CScriptValue> call(const std::string& name, int count, const std::vector<CScriptValue>& args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        return results;
    }
    double number(const std::string& name, const std::vector<CScriptValue>& args = {}) {
        const auto results = call(name, 1, args);
        EXPECT_EQ(results.size(), 1u) << name;
        return results.empty() ? -1.0 : results[0].asNumber();
    }

    TempFolder folder_;
    ScriptTest::TestScriptServices services_;
    CScriptController host_{services_};
};

TEST_F(LuaModule, BuildKindAndNullTests) {
    auto kind = call("buildKind", 3);
    ASSERT_EQ(kind.size(), 3u);
    EXPECT_EQ(kind[0].asInteger(), 0);  // isRelease
    EXPECT_EQ(kind[1].asInteger(), 0);  // isDebug
    EXPECT_EQ(kind[2].asInteger(), 1);  // isMaster

    int object = 0;
    const auto nulls = call("nullTests", 4, {CScriptValue(static_cast<void*>(&object))});
    ASSERT_EQ(nulls.size(), 4u);
    EXPECT_EQ(nulls[0].asInteger(), 0);  // an object's light userdata
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(nulls[i].asInteger(), 1) << i;  // Lua.nullPtr(), 0, nil
    }
}

TEST_F(LuaModule, StringFunctionsCountWideCharacters) {
    const CScriptValue japanese(std::string("あい"));
    EXPECT_EQ(number("strLen", {japanese}), 2.0);
    EXPECT_EQ(number("strLen", {CScriptValue(std::string("abc"))}), 3.0);
    const auto second = call("strGet", 1, {japanese, CScriptValue::fromInteger(1)});
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].getText(), "い");
    for (const int32_t index : {2, -1}) {
        EXPECT_TRUE(call("strGet", 1, {japanese, CScriptValue::fromInteger(index)}).empty()) << index;
    }
}

TEST_F(LuaModule, LoadsFurtherScriptsFromTheArchive) {
    EXPECT_EQ(number("requireTwice"), 2.0);  // nothing cached: run at every call
    const auto value = call("dofileValue", 1);
    ASSERT_EQ(value.size(), 1u);
    EXPECT_EQ(value[0].getText(), "last");
    const auto nothing = call("dofileNothing", 2);
    ASSERT_EQ(nothing.size(), 2u);
    EXPECT_EQ(nothing[0].asInteger(), 1);  // the file ran
    EXPECT_EQ(nothing[1].asInteger(), 1);  // and gave nil, not its own name

    const auto counts = call("loadfileCounts", 2);
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0].getText(), "string");  // the loader's message
    EXPECT_EQ(counts[1].asNumber(), 0.0);      // an unreadable file gives no value

    for (const char* name : {"Script/Test/none.lua", "Script/Test/lib/broken.lua"}) {
        SCOPED_TRACE(name);
        const auto failed = call("dofileErrors", 2, {CScriptValue(name)});
        ASSERT_EQ(failed.size(), 2u);
        EXPECT_EQ(failed[1].asInteger(), 0);
        EXPECT_NE(failed[0].getText().find(name), std::string::npos) << failed[0].getText();
    }
    EXPECT_FALSE(services_.reader.isOpen());
}

TEST_F(LuaModule, RandomDrawsFromTheGamesGenerator) {
    Orvex::Random::OxMT19937RandomGenerator expected;
    expected.seed(4000000000u);
    const uint32_t raw = expected.next();
    const int32_t range = Orvex::Random::getRange(expected, 1, 6);
    const float real = Orvex::Random::getRangeReal(expected, 0.5f, 1.5f);

    const auto draws = call("randomDraws", 3, {CScriptValue(4000000000.0)});
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].asNumber(), static_cast<double>(raw));
    EXPECT_EQ(draws[1].asNumber(), range);
    EXPECT_EQ(draws[0].asNumber(), static_cast<double>(real));
    // The script drew from the very object the game rules use.
    EXPECT_EQ(services_.random.next(), expected.next());
}

TEST_F(LuaModule, MissingArgumentsReadAsEmptyValues) {
    const auto results = call("missingArguments", 4);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].asInteger(), 1);  // String.get() gives nothing
    EXPECT_EQ(results[1].asInteger(), 1);  // isNull()
    EXPECT_EQ(results[2].asNumber(), 0.0);
    EXPECT_EQ(results[3].asNumber(), 0.0);
}

TEST_F(LuaModule, StopwatchAndSleep) {
    EXPECT_EQ(number("timerBeforeStart"), 0.0);
    const double elapsed = number("timed", {CScriptValue(30.0)});
    EXPECT_GE(elapsed, 25.0);
    EXPECT_LT(elapsed, 60000.0);
}

TEST_F(LuaModule, CoroutinesLoadOntoTheirOwnStackAndYield) {
    const auto results = call("inCoroutine", 4);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].asNumber(), 3.0);     // module found through "_this_lua_State"
    EXPECT_EQ(results[1].getText(), "again");  // the resumed value
    EXPECT_EQ(results[2].getText(), "last");   // what the coroutine's dofile returned
    EXPECT_EQ(results[3].asInteger(), 1);
}

TEST_F(LuaModule, DirListsMatchingNames) {
    std::filesystem::create_directories(folder_ / "Replay");
    for (const char* name : {"b.lrd", "a.lrd", "c.txt"}) {
        folder_.writeFile(std::string("Replay/") + name, {1});
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Replay/*.lrd", "a.lrd,b.lrd"},
        {"Replay\\?.txt", "c.txt"},
        {"Replay/*", ".,..,a.lrd,b.lrd,c.txt"},
        {"Missing/*", ""},
    };
    for (const auto& [pattern, expected] : cases) {
        const auto listed = call("listFolder", 1, {CScriptValue(pattern)});
        ASSERT_EQ(listed.size(), 1u) << pattern;
        EXPECT_EQ(listed[0].getText(), expected) << pattern;
    }
}

}  // namespace
