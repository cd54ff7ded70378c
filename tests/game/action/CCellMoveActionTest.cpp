#include "game/action/CCellMoveAction.h"

#include <gtest/gtest.h>

#include "game/action/CTakeItemAction.h"
#include "game/condition/CConditionController.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "tests/game/action/FloorFixture.h"

namespace {

using Fenwarrow::Action::CCellMoveAction;
using Fenwarrow::Dungeon::MapPoint;

class CellMove : public ActionTest::FloorFixture {
protected:
    std::shared_ptr<CCellMoveAction> move(Fenwarrow::Actor::CActor& actor, MapPoint to) {
        auto action = std::make_shared<CCellMoveAction>(context_, &actor, to);
        manager_->pushAction(action);
        return action;
    }
    // Frames until the queue is empty, at most 200.
    int framesUntilIdle() {
        int frames = 0;
        while (manager_->isBusy() && frames < 200) {
            manager_->update();
            ++frames;
        }
        return frames;
    }
};

TEST_F(CellMove, AnUnseenActorIsOnItsNewCellAtOnce) {
    auto far = addEnemy({30, 5});
    CCellMoveAction action(context_, far.get(), {31, 6});
    EXPECT_FALSE(action.isActive());
    EXPECT_FALSE(action.isVisible());
    EXPECT_FALSE(action.isExclusive());
    EXPECT_EQ(pointOf(*far), (MapPoint{31, 6}));
    EXPECT_EQ(far->getDrawOffsetX(), 0.0f);
    EXPECT_EQ(far->getStatus().getDirection(), 3);
}

TEST_F(CellMove, TheStepFacesItsDirectionAndABlockedStepStaysPut) {
    const struct {
        MapPoint to;
        int32_t direction;
        bool moves;
    } cases[] = {
        {{5, 4}, 0, true}, {{6, 4}, 1, true}, {{6, 5}, 2, true}, {{6, 6}, 3, true},  {{5, 6}, 4, true},
        {{4, 6}, 5, true}, {{4, 5}, 6, true}, {{4, 4}, 7, true}, {{5, 5}, 4, false},
    };
    for (const auto& c : cases) {
        auto enemy = addEnemy({5, 5});
        CCellMoveAction action(context_, enemy.get(), c.to);
        EXPECT_EQ(enemy->getStatus().getDirection(), c.direction) << c.to.x << "," << c.to.y;
        EXPECT_EQ(pointOf(*enemy), (c.moves ? c.to : MapPoint{5, 5})) << c.to.x << "," << c.to.y;
        EXPECT_EQ(action.isActive(), c.moves);
        floor_->removeActor(enemy.get());
    }
    // Into the wall column.
    auto enemy = addEnemy({19, 5});
    CCellMoveAction blocked(context_, enemy.get(), {20, 5});
    EXPECT_FALSE(blocked.isActive());
    EXPECT_EQ(pointOf(*enemy), (MapPoint{19, 5}));
}

TEST_F(CellMove, ASeenStepSlidesFromTheOldCellAndEndsOnTheNewOne) {
    auto enemy = addEnemy({5, 5});
    auto action = move(*enemy, {6, 5});
    EXPECT_TRUE(action->isVisible());
    EXPECT_EQ(pointOf(*enemy), (MapPoint{6, 5}));
    // Drawn at the old place first, then 5 pixels a frame: 32 pixels take 7 frames.
    EXPECT_EQ(enemy->getDrawOffsetX(), -32.0f);
    manager_->update();
    EXPECT_EQ(enemy->getDrawOffsetX(), -27.0f);
    EXPECT_EQ(framesUntilIdle(), 6);
    EXPECT_EQ(enemy->getDrawOffsetX(), 0.0f);
}

TEST_F(CellMove, QuickActorsSlideAtTwiceTheStepSlowOnesAtHalf) {
    context_.game.makeConditions = [](Fenwarrow::Actor::CActor& actor) {
        return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
    };
    // 32 pixels at 5, 10 and 2.5 pixels a frame.
    const struct {
        int32_t condition;
        int frames;
    } cases[] = {{Fenwarrow::Actor::kConditionDefault, 7},
                 {Fenwarrow::Actor::kConditionQuick, 4},
                 {Fenwarrow::Actor::kConditionSlow, 13}};
    int32_t y = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        auto enemy = addEnemy({5, y});
        ASSERT_TRUE(enemy->getConditions()->addCondition(c.condition));
        move(*enemy, {6, y});
        EXPECT_EQ(framesUntilIdle(), c.frames);
        EXPECT_EQ(enemy->getDrawOffsetX(), 0.0f);
        ++y;
    }
}

TEST_F(CellMove, AStepWhoseActorIsGoneEndsWithoutTouchingIt) {
    auto enemy = std::make_shared<Fenwarrow::Actor::CEnemy>(context_.game);
    ASSERT_TRUE(floor_->putCellObject(enemy.get(), {5, 5}, false));
    auto action = move(*enemy, {6, 5});
    manager_->update();
    floor_->deleteCellObject(enemy.get());
    enemy.reset();
    manager_->update();
    EXPECT_FALSE(action->isActive());
    EXPECT_FALSE(manager_->isBusy());
}

TEST_F(CellMove, ThePlayersStepScrollsTheViewAndADashIsFaster) {
    context_.dashing = true;
    auto action = move(*player_, {2, 4});
    EXPECT_EQ(floor_->getMapRenderer().getDrawOffset().y, -32.0f);
    EXPECT_EQ(player_->getDrawOffsetY(), 32.0f);
    EXPECT_EQ(framesUntilIdle(), 1);
    EXPECT_EQ(floor_->getMapRenderer().getDrawOffset().y, 0.0f);
    EXPECT_EQ(pointOf(*player_), (MapPoint{2, 4}));
}

TEST_F(CellMove, StepsOfSeveralActorsRunSideBySideUnlessOneMovesTwice) {
    auto first = addEnemy({5, 5});
    auto second = addEnemy({8, 5});
    auto twice = addEnemy({11, 5});
    twice->setActionsLeft(2);
    auto a = move(*first, {5, 4});
    auto b = move(*second, {8, 4});
    auto c = move(*twice, {11, 4});
    EXPECT_FALSE(a->isExclusive());
    EXPECT_FALSE(b->isExclusive());
    EXPECT_TRUE(c->isExclusive());
    manager_->update();
    // Both steps moved in the same frame; the double step waits for them.
    EXPECT_EQ(first->getDrawOffsetY(), 27.0f);
    EXPECT_EQ(second->getDrawOffsetY(), 27.0f);
    EXPECT_EQ(twice->getDrawOffsetY(), 32.0f);
    EXPECT_LT(framesUntilIdle(), 200);
    EXPECT_EQ(twice->getDrawOffsetY(), 0.0f);
}

TEST_F(CellMove, ThePlayerPicksUpAnItemStepsOnWhenFullAndCanStepOver) {
    auto item = addItem({3, 5});
    context_.dashing = true;
    auto action = move(*player_, {3, 5});
    EXPECT_TRUE(action->isExclusive());
    framesUntilIdle();
    EXPECT_EQ(player_->findItem(item.get()), 0);
    EXPECT_EQ(item->getCell(), nullptr);
    EXPECT_EQ(context_.sounds, (std::vector<int32_t>{3}));
    EXPECT_GE(context_.dashStops, 1);
    EXPECT_FALSE(context_.dashing);

    // The cancel key held: the player only stands on it.
    auto second = addItem({4, 5});
    keys_.setDown(6, true);
    move(*player_, {4, 5});
    framesUntilIdle();
    keys_.setDown(6, false);
    EXPECT_EQ(player_->findItem(second.get()), -1);
    EXPECT_EQ(log().back(), second->getDisplayName(true) + u"の上に乗った。");

    // A full pack: two lines, nothing taken.
    while (player_->getItemList().size() < 20) {
        player_->addItem(std::make_shared<Fenwarrow::Item::CItem>(context_.game, 7));
    }
    auto third = addItem({5, 5});
    move(*player_, {5, 5});
    framesUntilIdle();
    EXPECT_EQ(player_->findItem(third.get()), -1);
    ASSERT_GE(log().size(), 2u);
    EXPECT_EQ(log()[log().size() - 2], u"持ち物が一杯で持てない。");
    EXPECT_EQ(log().back(), third->getDisplayName(true) + u"の上に乗った。");
}

// A window with no drawing resources: its list and keys work as on screen.
class PromptWindowContext : public Fenwarrow::IGeneralWindowContext {
public:
    explicit PromptWindowContext(Orvex::InputSystem::OxVirtualKey& keys) : keys_(keys) {}
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t) override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return &keys_; }

private:
    Orvex::InputSystem::OxVirtualKey& keys_;
};

TEST_F(CellMove, StairsAskWhetherToGoOnAndTheChoiceOrTheCancelKeyEndsTheStep) {
    packScripts({{u"Actor/Player/TEST/setup.lua", "function setActor(a) end function setup() end"},
                 {u"Actor/Player/TEST/actor.lua",
                  "Actor.Command = {} function Actor.initialize(a) end "
                  "function Actor.Command.doItem(n, item) chosen = item count = n end"}});
    ASSERT_TRUE(player_->setup(u"Actor/Player/TEST/"));
    auto windowContext = std::make_shared<PromptWindowContext>(keys_);
    context_.windowFactory = [windowContext] { return std::make_shared<Fenwarrow::CGeneralWindow>(windowContext); };
    const struct {
        int32_t option;
        const char16_t* entry;
        uint32_t key;  // 5 decides the first entry, 6 closes
    } exits[] = {{2, u"すすむ", 5}, {1, u"もどる", 6}};
    for (const auto& exit : exits) {
        releaseKeys();
        floor_->removeItem(floor_->getCellItem(floor_->getMap().getCell({3, 5})).get());
        if (pointOf(*player_) != MapPoint{2, 5}) {
            ASSERT_TRUE(floor_->putCellObject(player_.get(), {2, 5}, false));
        }
        auto stairs = addItem({3, 5}, exit.option);
        context_.dashing = true;
        auto action = move(*player_, {3, 5});
        manager_->update();
        ASSERT_TRUE(action->isPromptOpen());
        const auto& window = action->getPromptWindow();
        EXPECT_EQ(window->title, u"移動");
        ASSERT_EQ(window->getListItemCount(), 2u);
        EXPECT_EQ(window->getListItem(0)->text, exit.entry);
        EXPECT_EQ(window->getListItem(1)->text, u"閉じる");
        EXPECT_EQ(window->getSelectedItemIndex(), 0);
        EXPECT_EQ(window->x, 520.0f);
        EXPECT_EQ(window->y, 90.0f);
        manager_->draw();
        ASSERT_FALSE(context_.queued.empty());
        EXPECT_EQ(context_.queued.back().first, 6000000u);
        // The prompt waits for the player.
        for (int frame = 0; frame < 5; ++frame) {
            manager_->update();
        }
        EXPECT_TRUE(manager_->isBusy());
        const int stops = context_.continuousMoveStops;
        pushKey(exit.key);
        manager_->update();
        EXPECT_FALSE(manager_->isBusy());
        EXPECT_EQ(context_.continuousMoveStops, stops + 1);
        EXPECT_GT(context_.replaySteps, 0);
        lua_State* L = player_->getScript()->getLuaState();
        lua_getglobal(L, "chosen");
        EXPECT_EQ(lua_touserdata(L, -1), exit.key == 5 ? stairs.get() : nullptr);
        lua_pushnil(L);
        lua_setglobal(L, "chosen");
        lua_pop(L, 1);
    }
}

}  // namespace
