#include "game/services/CScriptCommandBase.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "game/services/CLuaCommand.h"
#include "game/services/ScriptCommandTable.h"
#include "game/services/CScriptController.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;

// A module whose function reports which object the calling state finds.
class CProbeCommand : public Fenwarrow::CScriptCommandBase<CProbeCommand> {
public:
    explicit CProbeCommand(int id) : id_(id) {}

    static int32_t entryCount() {
        Orvex::Thread::OxCriticalLock lock(getLock());
        return getStateMap().count();
    }

    bool registerFunctions(CScriptController& controller) override {
        Fenwarrow::ScriptCommand::registerScriptTable(
            controller.getLuaState(), {"Probe", {{"id", &id}}, {{"Inner", {}, {{"Deep", {{"id", &id}}, {}}}}}});
        return true;
    }

private:
    static int id(lua_State* L) {
        CProbeCommand* self = fromState(L);
        if (self == nullptr) {
            return luaL_error(L, "no probe");
        }
        lua_pushinteger(L, self->id_);
        return 1;
    }
    int id_;
};

class ScriptCommandBase : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string source = "function probe() return Probe.id() end";
        ASSERT_TRUE(host_.setupState(reinterpret_cast<const uint8_t*>(source.data()),
                                     static_cast<uint32_t>(source.size()), 0x1000));
        ASSERT_TRUE(host_.runMain());
        L_ = host_.getLuaState();
    }
    std::string run(const char* code) {
        EXPECT_EQ(luaL_loadstring(L_, code), 0) << code;
        const int status = lua_pcall(L_, 0, 1, 0);
        std::string result = lua_tostring(L_, -1) != nullptr ? lua_tostring(L_, -1) : "nil";
        lua_settop(L_, 0);
        return status == 0 ? result : "error: " + result;
    }

    ScriptTest::TestScriptServices services_;
    CScriptController host_{services_};
    lua_State* L_ = nullptr;
};

TEST_F(ScriptCommandBase, TheLaterObjectOfAClassWinsAndCoroutinesFindIt) {
    auto first = std::make_shared<CProbeCommand>(1);
    auto second = std::make_shared<CProbeCommand>(2);
    ASSERT_TRUE(host_.attachCommand(first));
    ASSERT_TRUE(host_.attachCommand(second));
    EXPECT_EQ(CProbeCommand::fromState(L_), second.get());
    EXPECT_EQ(run("return Probe.id()"), "2");
    EXPECT_EQ(run("return Probe.Inner.Deep.id()"), "2");
    // Every attach names the same state, whatever the module class.
    lua_getglobal(L_, Fenwarrow::kThisLuaStateName);
    EXPECT_EQ(lua_touserdata(L_, -1), L_);
    lua_settop(L_, 0);
    EXPECT_EQ(Fenwarrow::ScriptCommand::CLuaCommand::fromState(L_), host_.getModules().front().get());
    EXPECT_EQ(run("local co = coroutine.create(probe) local ok, v = coroutine.resume(co) "
                  "return tostring(ok) .. v"),
              "true2");
}

TEST_F(ScriptCommandBase, ADestroyedModuleIsNotFoundAgain) {
    {
        auto probe = std::make_shared<CProbeCommand>(7);
        EXPECT_TRUE(probe->attach(L_));
        EXPECT_TRUE(probe->registerFunctions(host_));
        EXPECT_EQ(run("return Probe.id()"), "7");
    }
    EXPECT_EQ(CProbeCommand::fromState(L_), nullptr);
    EXPECT_EQ(run("return Probe.id()").rfind("error: ", 0), 0u);
}

// Hosts come and go all the time (actors, actions, item set-ups): each one that dies must take
// its entries with it, or a later state at a recycled address finds a dead module.
TEST_F(ScriptCommandBase, DeadModulesLeaveNoEntriesBehind) {
    const std::string source = "x = 1";
    const int32_t before = CProbeCommand::entryCount();
    for (int round = 0; round < 40; ++round) {
        CScriptController host(services_);
        ASSERT_TRUE(host.setupState(reinterpret_cast<const uint8_t*>(source.data()),
                                    static_cast<uint32_t>(source.size()), 0x1000));
        ASSERT_TRUE(host.attachCommand(std::make_shared<CProbeCommand>(round)));
        EXPECT_EQ(CProbeCommand::entryCount(), before + 1);
    }
    EXPECT_EQ(CProbeCommand::entryCount(), before);

    // One object attached to two states is forgotten by both.
    CScriptController other(services_);
    ASSERT_TRUE(other.setupState(reinterpret_cast<const uint8_t*>(source.data()), static_cast<uint32_t>(source.size()),
                                 0x1000));
    {
        auto shared = std::make_shared<CProbeCommand>(5);
        ASSERT_TRUE(host_.attachCommand(shared));
        ASSERT_TRUE(other.attachCommand(shared));
        EXPECT_EQ(CProbeCommand::fromState(other.getLuaState()), shared.get());
        host_.close();
        other.close();
    }
    EXPECT_EQ(CProbeCommand::entryCount(), before);
}

}  // namespace
