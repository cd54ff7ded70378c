#include "engine/script/LuaObjectBinding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/script/CBaseUserdata.h"
#include "engine/script/CFileManager.h"
#include "engine/script/CLuaClassBase.h"
#include "engine/script/CSampleUserdata.h"
#include "engine/script/CUserdataRegistry.h"

namespace Orvex::Script {
namespace {

// Counts its destructions, so that tests can see Lua's collector delete native objects.
class CountedUserdata : public CBaseUserdata {
public:
    static inline int destroyed = 0;
    ~CountedUserdata() override { ++destroyed; }
    std::unique_ptr<IUserdata> create() const override { return std::make_unique<CountedUserdata>(); }
    const char* getClassName() const override { return "CountedUserdata"; }
};

class LuaObjectBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        L = luaL_newstate();
        luaL_openlibs(L);
        installObjectFactory(L);
    }
    void TearDown() override {
        removeObjectFactory(L);
        lua_close(L);
        CFileManager::closeAllFiles();
    }
    bool run(const char* text) {
        if (luaL_dostring(L, text) != 0) {
            ADD_FAILURE() << lua_tostring(L, -1);
            lua_settop(L, 0);
            return false;
        }
        return true;
    }
    lua_State* L = nullptr;
};

TEST_F(LuaObjectBindingTest, CollectingTheFormDeletesTheObject) {
    CountedUserdata::destroyed = 0;
    CountedUserdata prototype;
    prototype.push(L);
    ASSERT_EQ(lua_type(L, -1), LUA_TTABLE);
    IUserdata* object = toObject(L, -1);
    ASSERT_NE(object, nullptr);
    EXPECT_NE(object, &prototype);
    EXPECT_STREQ(object->getClassName(), "CountedUserdata");
    EXPECT_EQ(lua_getmetatable(L, -1), 0) << "the table itself has no metatable";
    lua_pop(L, 1);
    lua_gc(L, LUA_GCCOLLECT, 0);
    EXPECT_EQ(CountedUserdata::destroyed, 1);
}

// The collector is reachable from scripts through the metatable: handed anything but one of
// its own userdata, it does nothing.
TEST_F(LuaObjectBindingTest, TheCollectorIgnoresForeignUserdata) {
    CountedUserdata::destroyed = 0;
    CountedUserdata prototype;
    prototype.push(L);
    lua_setglobal(L, "obj");
    ASSERT_TRUE(
        run("local collect = getmetatable(obj.Userdata).__gc\n"
            "collect(io.stdout)\ncollect(nil)\ncollect({})\ncollect(7)"));
    EXPECT_EQ(CountedUserdata::destroyed, 0);
    ASSERT_TRUE(run("print(io.stdout ~= nil)"));
    ASSERT_TRUE(run("obj = nil"));
    lua_gc(L, LUA_GCCOLLECT, 0);
    EXPECT_EQ(CountedUserdata::destroyed, 1);
}

TEST_F(LuaObjectBindingTest, GetObjectPointerLeavesTheUserdata) {
    CLuaClassBase prototype;
    prototype.push(L);     // T
    lua_pushvalue(L, -1);  // T T
    IUserdata* object = getObjectPointer(L);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(lua_gettop(L), 2);  // T ud: index 1 was removed
    EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
    lua_settop(L, 0);

    // Something that is not an object's table gives null and keeps the same stack shape.
    lua_pushinteger(L, 1);
    lua_newtable(L);
    EXPECT_EQ(getObjectPointer(L), nullptr);
    EXPECT_EQ(lua_gettop(L), 2);
    EXPECT_TRUE(lua_isnil(L, -1));
}

TEST_F(LuaObjectBindingTest, TableSettersLeaveTheTableOnTop) {
    int marker = 0;
    lua_newtable(L);
    setTableBoolean(L, "b", true);
    setTableInteger(L, std::string("i"), -3);
    setTableLightUserdata(L, "p", &marker);
    setTableNumber(L, "n", 1.5);
    setTableString(L, "s", std::string("text"));
    setTableString(L, std::string("c"), "chars");
    setTableString(L, "gone", "x");
    setTableNil(L, "gone");
    setTableFunction(L, "f", [](lua_State* S) {
        lua_pushinteger(S, 99);
        return 1;
    });
    ASSERT_EQ(lua_gettop(L), 1);
    lua_setglobal(L, "t");
    EXPECT_TRUE(run("assert(t.b == true and t.i == -3 and t.n == 1.5 and t.s == 'text')"));
    EXPECT_TRUE(run("assert(t.c == 'chars' and t.gone == nil and t.f() == 99)"));
    EXPECT_TRUE(run("assert(type(t.p) == 'userdata')"));
}

TEST_F(LuaObjectBindingTest, FactoryGlobalsComeAndGo) {
    EXPECT_TRUE(run("assert(type(_CreateObject) == 'function' and _GetObjectValue and _SetObjectValue)"));
    removeObjectFactory(L);
    EXPECT_TRUE(run("assert(_CreateObject == nil)"));
    removeObjectValueFunctions(L);
    EXPECT_TRUE(run("assert(_GetObjectValue == nil and _SetObjectValue == nil)"));
    installObjectFactory(L);
    EXPECT_TRUE(run("assert(_CreateObject('FileManager').size ~= nil)"));
    ASSERT_NE(CUserdataRegistry::current(), nullptr);
    EXPECT_EQ(CUserdataRegistry::current()->findPrototype("SampleUserdata"), nullptr);
}

TEST_F(LuaObjectBindingTest, SampleMethodsPrint) {
    CSampleUserdata prototype;
    prototype.push(L);
    auto* object = dynamic_cast<CSampleUserdata*>(toObject(L, -1));
    ASSERT_NE(object, nullptr);
    const uint32_t id = object->getId();
    lua_setglobal(L, "s");
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(run("s.printId(s); s.printParam('hello', 'world'); s.printParam(s, 'a', 'b')"));
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, std::to_string(id) + "\nhello world\na b\n");
}

}  // namespace
}  // namespace Orvex::Script
