#include "game/action/CScriptingAction.h"

#include <gtest/gtest.h>

#include "game/services/ScriptArguments.h"
#include "tests/game/action/ActionFixture.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Action::CScriptingAction;

// Counts its frames and keeps going for three of them.
const char* const kCountingScript = R"(
Game.Action = {}
log = ""
local frames = 0
function Game.Action.initialize(p) param = p log = log .. "init;" end
function Game.Action.startAction() log = log .. "start;" end
function Game.Action.updateAction(dt)
  frames = frames + 1
  lastDt = dt
  log = log .. "update;"
  return frames < 3
end
function Game.Action.endAction() log = log .. "end;" end
function Game.Action.drawAction() log = log .. "draw;" end
)";

class ScriptingAction : public ActionTest::ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        packScripts({{u"Script/Test/count", kCountingScript},
                     {u"Script/Test/silent", "Game.Action = {} function Game.Action.updateAction(dt) end"},
                     {u"Script/Test/bare", "x = 1"}});
    }
    std::shared_ptr<CScriptingAction> make(const std::u16string& path) {
        return std::make_shared<CScriptingAction>(context_, path, &marker_);
    }

    int marker_ = 0;
};

TEST_F(ScriptingAction, TheScriptRunsItsLifeInItsOwnStateWithTheActionModules) {
    context_.frameTime = 0.25f;
    auto action = make(u"Script/Test/count");
    manager_->pushAction(action);
    EXPECT_TRUE(manager_->isBlocking());
    // Until it has started (and so runs): the state is the game thread's once prepared.
    ASSERT_TRUE(updateUntil(
        [&] { return action->isPrepared() && global(*action, "log").find("start;") != std::string::npos; }));
    EXPECT_EQ(context_.game.created,
              (std::vector<ScriptModule>{ScriptModule::kGraphics, ScriptModule::kMossbellLib, ScriptModule::kActor,
                                         ScriptModule::kDungeon, ScriptModule::kAudio, ScriptModule::kGame,
                                         ScriptModule::kItem, ScriptModule::kMap, ScriptModule::kDamageCalculate}));
    EXPECT_EQ(globalPointer(*action, "param"), &marker_);
    // Handed to the script, so the modules take it back from this state.
    EXPECT_TRUE(Fenwarrow::ScriptArguments::isLentObject(action->getScript()->getLuaState(), &marker_));
    manager_->draw();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(global(*action, "lastDt"), "0.25");
    // Three frames while updateAction says true, then the end; the draw came while it ran.
    std::string log = global(*action, "log");
    EXPECT_NE(log.find("draw;"), std::string::npos) << log;
    for (auto at = log.find("draw;"); at != std::string::npos; at = log.find("draw;")) {
        log.erase(at, 5);
    }
    EXPECT_EQ(log, "init;start;update;update;update;end;");
}

TEST_F(ScriptingAction, AnActionWithoutAScriptOrAnUpdateEndsAfterOneFrame) {
    struct Case {
        const char16_t* path;
        const char* what;
    } cases[] = {
        {u"Script/Test/silent", "updateAction returns nothing"},
        {u"Script/Test/bare", "no Game.Action table"},
        {u"Script/Test/missing", "no such script"},
    };
    for (const Case& c : cases) {
        auto action = make(c.path);
        manager_->pushAction(action);
        ASSERT_TRUE(updateUntil([&] { return action->isPrepared(); })) << c.what;
        manager_->update();
        EXPECT_FALSE(action->isActive()) << c.what;
        EXPECT_FALSE(manager_->isBusy()) << c.what;
    }
}

TEST_F(ScriptingAction, AModuleTheGameCannotMakeLeavesTheActionWithoutAState) {
    context_.game.factories.erase(ScriptModule::kDamageCalculate);
    auto action = make(u"Script/Test/count");
    action->prepare();
    EXPECT_EQ(action->getScript(), nullptr);
    action->start();
    action->update();
    EXPECT_FALSE(action->isActive());
}

}  // namespace
