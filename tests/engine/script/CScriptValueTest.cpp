#include "engine/script/CScriptValue.h"

#include <gtest/gtest.h>

#include <string>

namespace Orvex::Script {
namespace {

class CScriptValueTest : public ::testing::Test {
protected:
    void SetUp() override { L = luaL_newstate(); }
    void TearDown() override { lua_close(L); }
    lua_State* L = nullptr;
};

TEST_F(CScriptValueTest, EveryTagArrivesInLuaAsItsKind) {
    int marker = 0;
    const CScriptValue values[] = {
        CScriptValue(),
        CScriptValue(true),
        CScriptValue(false),
        CScriptValue(0.5f),
        CScriptValue("名前"),
        CScriptValue(&marker),
        CScriptValue::fromInteger(-2147483647 - 1),
    };
    for (const CScriptValue& v : values) {
        ASSERT_EQ(v.push(L), 1) << v.type;
    }
    EXPECT_TRUE(lua_isnil(L, 1));
    EXPECT_EQ(lua_type(L, 2), LUA_TBOOLEAN);
    EXPECT_TRUE(lua_toboolean(L, 2));
    EXPECT_EQ(lua_type(L, 3), LUA_TBOOLEAN);
    EXPECT_FALSE(lua_toboolean(L, 3));
    EXPECT_EQ(lua_tonumber(L, 4), 0.5);
    EXPECT_STREQ(lua_tostring(L, 5), "名前");
    EXPECT_EQ(lua_type(L, 6), LUA_TLIGHTUSERDATA);
    EXPECT_EQ(lua_touserdata(L, 6), &marker);
    EXPECT_EQ(lua_tonumber(L, 7), -2147483648.0);

    CScriptValue unknown;
    unknown.type = 5;  // a table tag carries nothing across
    EXPECT_EQ(unknown.push(L), 0);
    EXPECT_EQ(lua_gettop(L), 7);
}

TEST_F(CScriptValueTest, ResultsAreReadInTheHostsOrder) {
    int marker = 0;
    lua_pushnumber(L, 2.25);
    lua_pushstring(L, "17");
    lua_pushboolean(L, 1);
    lua_pushboolean(L, 0);
    lua_pushstring(L, "word");
    lua_pushlightuserdata(L, &marker);
    lua_newtable(L);
    lua_pushnil(L);

    CScriptValue v;
    ASSERT_TRUE(CScriptValue::fromLua(L, 1, v));
    EXPECT_EQ(v.type, CScriptValue::kNumber);
    EXPECT_EQ(v.asNumber(), 2.25);
    ASSERT_TRUE(CScriptValue::fromLua(L, 2, v));
    EXPECT_EQ(v.type, CScriptValue::kNumber) << "a numeric string is a number";
    EXPECT_EQ(v.asNumber(), 17.0);
    ASSERT_TRUE(CScriptValue::fromLua(L, 3, v));
    EXPECT_EQ(v.type, CScriptValue::kInteger) << "a boolean comes back as an integer";
    EXPECT_EQ(v.asInteger(), 1);
    ASSERT_TRUE(CScriptValue::fromLua(L, 4, v));
    EXPECT_EQ(v.asInteger(), 0);
    ASSERT_TRUE(CScriptValue::fromLua(L, 5, v));
    EXPECT_EQ(v.type, CScriptValue::kString);
    EXPECT_EQ(v.getText(), "word");
    ASSERT_TRUE(CScriptValue::fromLua(L, 6, v));
    EXPECT_EQ(v.type, CScriptValue::kPointer);
    EXPECT_EQ(v.asPointer(), &marker);
    EXPECT_FALSE(CScriptValue::fromLua(L, 7, v));
    EXPECT_FALSE(CScriptValue::fromLua(L, 8, v));
    EXPECT_EQ(lua_gettop(L), 8) << "reading leaves the stack alone";
}

TEST(CScriptValueText, WideTextRoundTrips) {
    for (const std::u16string& text :
         {std::u16string(u""), std::u16string(u"abc"), std::u16string(u"ダンジョン 🗡")}) {
        const CScriptValue v(text);
        EXPECT_EQ(v.type, CScriptValue::kString);
        EXPECT_EQ(v.toWString(), text);
    }
    EXPECT_EQ(CScriptValue(u"ア").getText(), "\xE3\x82\xA2");
    // An unpaired surrogate cannot be held by the code page: it is replaced, not dropped.
    EXPECT_EQ(CScriptValue(std::u16string(u"a\xD800"
                                          u"b"))
                  .getText(),
              "a?b");
}

}  // namespace
}  // namespace Orvex::Script
