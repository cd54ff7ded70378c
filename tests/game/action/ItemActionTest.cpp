// The item actions: which of the item's (or container's) scripts each runs, what its
// Game.Action.initialize receives, and what each does around the script's start and end.
#include <gtest/gtest.h>

#include "game/action/CItemAction.h"
#include "game/action/CPopItemAction.h"
#include "game/action/CPushItemAction.h"
#include "game/action/CPutItemAction.h"
#include "game/action/CThrowItemAction.h"
#include "game/action/CUseItemAction.h"
#include "game/services/ScriptArguments.h"
#include "tests/game/action/FloorFixture.h"

namespace {

using namespace Fenwarrow::Action;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::Item::CItem;

// Keeps what initialize received, counts starts and ends, and runs one frame.
const char* const kRecorder = R"(
Game.Action = {}
starts = 0
ends = 0
function Game.Action.initialize(a, b, c, d) arg1 = a arg2 = b arg3 = c arg4 = d end
function Game.Action.startAction() starts = starts + 1 end
function Game.Action.updateAction(dt) return false end
function Game.Action.endAction() ends = ends + 1 end
)";
const char* const kPlayerSetup = "function setActor(a) end function setup() end";
const char* const kPlayerActor = R"(
Actor.Command = {}
puts = 0
function Actor.initialize(a) end
function Actor.Command.doPutItem(n, item) puts = puts + 1 end
)";

class ItemActions : public ActionTest::FloorFixture {
protected:
    void SetUp() override {
        FloorFixture::SetUp();
        std::vector<std::pair<std::u16string, std::string>> scripts = {
            {u"Actor/Player/TEST/setup.lua", kPlayerSetup},
            {u"Actor/Player/TEST/actor.lua", kPlayerActor},
        };
        for (const char16_t* name : {u"Use", u"Put", u"Throw", u"Pop", u"Push", u"Special"}) {
            scripts.push_back({std::u16string(u"Script/Item/Action/") + name + u".lua", kRecorder});
        }
        packScripts(scripts);
        item_ = std::make_shared<CItem>(context_.game, 100);
        item_->setActionScriptFileName(u"Script/Item/Action/Use.lua");
        item_->setPutScriptFileName(u"Script/Item/Action/Put.lua");
        item_->setThrowScriptFileName(u"Script/Item/Action/Throw.lua");
        holder_ = std::make_shared<CItem>(context_.game, 200);
        holder_->setActionScriptFileName(u"Script/Item/Action/Use.lua");
        holder_->setPopScriptFileName(u"Script/Item/Action/Pop.lua");
        holder_->setPushScriptFileName(u"Script/Item/Action/Push.lua");
    }
    static std::string number(const CScriptingAction& action, const char* name) { return global(action, name); }

    std::shared_ptr<CItem> item_;
    std::shared_ptr<CItem> holder_;
};

TEST_F(ItemActions, EachRunsItsItemsScriptWithItsObjects) {
    Fenwarrow::Actor::CPlayer* actor = player_.get();
    struct Case {
        std::shared_ptr<CScriptingAction> action;
        const char16_t* script;
        std::vector<const void*> pointers;  // arg1.. as pointers (null: not a pointer)
        const char* arg3;
        const char* arg4;
    };
    Case cases[] = {
        {std::make_shared<CItemAction>(context_, actor, item_.get()),
         u"Script/Item/Action/Use.lua",
         {actor, item_.get()},
         "nil",
         "nil"},
        {std::make_shared<CPutItemAction>(context_, actor, item_.get(), u"", 4, -2),
         u"Script/Item/Action/Put.lua",
         {actor, item_.get()},
         "4",
         "-2"},
        {std::make_shared<CPutItemAction>(context_, actor, item_.get(), u"Script/Item/Action/Special.lua", 0, 0),
         u"Script/Item/Action/Special.lua",
         {actor, item_.get()},
         "0",
         "0"},
        {std::make_shared<CThrowItemAction>(context_, actor, item_.get()),
         u"Script/Item/Action/Throw.lua",
         {actor, item_.get()},
         "true",
         "-1"},
        {std::make_shared<CPopItemAction>(context_, actor, holder_.get(), item_.get()),
         u"Script/Item/Action/Pop.lua",
         {actor, holder_.get(), item_.get()},
         nullptr,
         "nil"},
        {std::make_shared<CPushItemAction>(context_, actor, holder_.get(), item_.get()),
         u"Script/Item/Action/Push.lua",
         {actor, holder_.get(), item_.get()},
         nullptr,
         "nil"},
        {std::make_shared<CUseItemAction>(context_, actor, holder_.get(), item_.get()),
         u"Script/Item/Action/Use.lua",
         {actor, holder_.get(), item_.get()},
         nullptr,
         "nil"},
    };
    for (Case& c : cases) {
        const std::string what = Orvex::System::narrow(c.script);
        EXPECT_EQ(c.action->getScriptFileName(), c.script) << what;
        EXPECT_TRUE(c.action->isExclusive());
        EXPECT_TRUE(c.action->needsPreparation());
        c.action->prepare();
        ASSERT_NE(c.action->getScript(), nullptr) << what;
        EXPECT_EQ(globalPointer(*c.action, "arg1"), c.pointers[0]) << what;
        EXPECT_EQ(globalPointer(*c.action, "arg2"), c.pointers[1]) << what;
        if (c.arg3 != nullptr) {
            EXPECT_EQ(global(*c.action, "arg3"), c.arg3) << what;
        } else {
            EXPECT_EQ(globalPointer(*c.action, "arg3"), c.pointers[2]) << what;
        }
        EXPECT_EQ(global(*c.action, "arg4"), c.arg4) << what;
        EXPECT_TRUE(Fenwarrow::ScriptArguments::isLentObject(c.action->getScript()->getLuaState(), item_.get()))
            << what;
    }
}

TEST_F(ItemActions, ContainerActionsNameTheirMenuEntryAndCommand) {
    const CPopItemAction pop(context_, player_.get(), holder_.get(), item_.get());
    const CPushItemAction push(context_, player_.get(), holder_.get(), item_.get());
    const CUseItemAction use(context_, player_.get(), holder_.get(), item_.get());
    EXPECT_EQ(pop.getMenuLabel(), u"取り出す");
    EXPECT_EQ(pop.getActorCommand(), "doPopItem");
    EXPECT_EQ(push.getMenuLabel(), u"入れる");
    EXPECT_EQ(push.getActorCommand(), "doPushItem");
    EXPECT_EQ(use.getMenuLabel(), u"使う");
    EXPECT_EQ(use.getActorCommand(), "doItem");
}

TEST_F(ItemActions, UsedAndThrownItemsShowWhenTheirScriptStarts) {
    for (bool thrown : {false, true}) {
        item_->setVisible(false);
        std::shared_ptr<CScriptingAction> action;
        if (thrown) {
            action = std::make_shared<CThrowItemAction>(context_, player_.get(), item_.get());
        } else {
            action = std::make_shared<CItemAction>(context_, player_.get(), item_.get());
        }
        manager_->pushAction(action);
        ASSERT_TRUE(runUntilIdle());
        EXPECT_TRUE(item_->isVisible()) << thrown;
        EXPECT_EQ(number(*action, "starts"), "1");
        EXPECT_EQ(number(*action, "ends"), "1");
    }
}

TEST_F(ItemActions, ShopGoodsPutDownRecordTheirCell) {
    floor_->addFloorItem(item_);
    ASSERT_TRUE(floor_->putCellObject(item_.get(), {7, 3}, false));
    item_->setShopEntryID(5);
    auto put = std::make_shared<CPutItemAction>(context_, player_.get(), item_.get(), u"", 0, 0);
    manager_->pushAction(put);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(item_->getShopCell(), (MapPoint{7, 3}));
}

TEST_F(ItemActions, PushingAFloorItemPicksItUpFirstAndPutsItBackIfItStayedInThePack) {
    ASSERT_TRUE(player_->setup(u"Actor/Player/TEST/"));
    floor_->addFloorItem(item_);
    ASSERT_TRUE(floor_->putCellObject(item_.get(), {3, 5}, false));

    // Too heavy: nothing starts, nothing goes back down.
    player_->getStatus().setStabilityState(6, true);
    auto heavy = std::make_shared<CPushItemAction>(context_, player_.get(), holder_.get(), item_.get());
    manager_->pushAction(heavy);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(heavy->wasTaken());
    EXPECT_FALSE(heavy->isKept());
    EXPECT_EQ(number(*heavy, "starts"), "0");
    EXPECT_EQ(log().back(), item_->getDisplayName(true) + u"は重くて拾う事が出来ない。");
    EXPECT_EQ(pointOf(*item_), (MapPoint{3, 5}));

    // Lifted, but the container script left it in the pack: it goes back down.
    player_->getStatus().setStabilityState(6, false);
    auto pushed = std::make_shared<CPushItemAction>(context_, player_.get(), holder_.get(), item_.get());
    manager_->pushAction(pushed);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(pushed->isKept());
    EXPECT_EQ(number(*pushed, "starts"), "1");
    EXPECT_EQ(player_->findItem(item_.get()), 0);
    lua_State* L = player_->getScript()->getLuaState();
    lua_getglobal(L, "puts");
    EXPECT_EQ(lua_tointeger(L, -1), 1);
    lua_pop(L, 1);
}

}  // namespace
