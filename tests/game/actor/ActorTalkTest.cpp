// Talking queues the actor's action-event script as a scripted action on the floor's queue.
#include <gtest/gtest.h>

#include "game/actor/CNonPlayer.h"
#include "tests/game/action/ActionFixture.h"

namespace {

using Fenwarrow::Actor::CNonPlayer;

// What the talk script was handed, as the "Actor" stand-in heard it.
void* gPartner = nullptr;

int heard(lua_State* L) {
    gPartner = lua_touserdata(L, 1);
    return 0;
}

class ActorTalk : public ActionTest::ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        gPartner = nullptr;
        context_.game.factories[Fenwarrow::ScriptModule::kActor] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Actor", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"heard", heard}});
        };
        packScripts({{u"Script/Test/talk",
                      "Game.Action = {} function Game.Action.initialize(p) Actor.heard(p) end "
                      "function Game.Action.updateAction(dt) return false end"}});
    }

    CNonPlayer keeper_{context_.game};
};

TEST_F(ActorTalk, TheActionEventScriptRunsWithTheActor) {
    keeper_.setActionEventScriptFileName(u"Script/Test/talk");
    ASSERT_TRUE(keeper_.talk(context_));
    EXPECT_TRUE(manager_->isBlocking());  // a scripted action holds the turns while it runs
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(gPartner, static_cast<void*>(&keeper_));
}

TEST_F(ActorTalk, NothingIsQueuedWithoutAScriptOrAFloor) {
    EXPECT_FALSE(keeper_.talk(context_));
    EXPECT_FALSE(manager_->isBusy());

    keeper_.setActionEventScriptFileName(u"Script/Test/talk");
    context_.actions = nullptr;
    EXPECT_FALSE(keeper_.talk(context_));
    EXPECT_FALSE(manager_->isBusy());
}

}  // namespace
