#include "game/scriptcommand/CGameCommand.h"

#include <gtest/gtest.h>

#include "tests/game/shell/GameDataFixture.h"

namespace {

using Fenwarrow::Item::CItem;

class GameCommand : public GameTest::GameDataFixture {
protected:
    void SetUp() override {
        GameDataFixture::SetUp();
        context_.factories[Fenwarrow::ScriptModule::kGame] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CGameCommand>(context_);
        };
    }

    // The field of the script's "out" table, left on the stack.
    lua_State* field(const char* name) {
        lua_State* L = host_.getLuaState();
        lua_settop(L, 0);
        lua_getglobal(L, "out");
        lua_getfield(L, -1, name);
        return L;
    }

    Fenwarrow::CScriptController host_{context_};
};

TEST_F(GameCommand, DataFunctionsRefuseIndicesOutsideTheGameData) {
    auto stored = make(CItem::kWeapon, u"剣");
    data_->getStorageItemList(CItem::kWeapon)->push_back(stored);
    ASSERT_TRUE(host_.loadScript(u"Script/Test/globals.lua", 0x20000));
    ASSERT_TRUE(Fenwarrow::attachScriptModules(host_, context_, {Fenwarrow::ScriptModule::kGame}));
    ASSERT_TRUE(host_.runMain());
    host_.callVoid("run");

    EXPECT_EQ(data_->getGlobalInt(3), 9);
    EXPECT_EQ(data_->getGlobalInt(0), 0);  // 2^32 did not wrap round to 0
    EXPECT_EQ(data_->getGlobalFloat(0), 1.5f);
    EXPECT_TRUE(data_->getGlobalFlag(1023));
    struct Number {
        const char* name;
        lua_Number value;
    } numbers[] = {{"int3", 9},     {"int1024", 0},   {"intMinus1", 0},     {"float0", 1.5},
                   {"countIn2", 1}, {"countIn14", 0}, {"countInMinus1", 0}, {"money", 999999}};
    for (const Number& n : numbers) {
        EXPECT_EQ(lua_tonumber(field(n.name), -1), n.value) << n.name;
    }
    EXPECT_TRUE(lua_toboolean(field("flag1023"), -1));
    EXPECT_FALSE(lua_toboolean(field("flag1024"), -1));
    EXPECT_TRUE(lua_isnil(field("itemIn14"), -1));
    EXPECT_TRUE(lua_isnil(field("pastEndIn2"), -1));
    EXPECT_EQ(lua_touserdata(field("firstIn2"), -1), stored.get());
    EXPECT_EQ(lua_touserdata(field("player"), -1), data_->getPlayer().get());
    lua_settop(host_.getLuaState(), 0);
}

}  // namespace
