// The player control layer on a small real floor: keys from a scripted button device through
// the real key table, steps through the real action queue.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/random/OxRandomRange.h"
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionController.h"
#include "game/control/CPlayerLayer.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/CRoom.h"
#include "game/replay/CReplayController.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CScriptController.h"
#include "tests/game/action/FloorFixture.h"
#include "tests/game/replay/ReplayTestSupport.h"

namespace {

using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::SceneLayer::CPlayerLayer;
using Key = CPlayerLayer::Key;

class RecordingMenu : public Fenwarrow::SceneLayer::IPlayerMenu {
public:
    void openRoot() override {
        open = true;
        ++opens;
    }
    bool isOpen() const override { return open; }
    void update() override { ++updates; }
    void draw() override { ++draws; }
    bool open = false;
    int opens = 0;
    int updates = 0;
    int draws = 0;
};

class PlayerLayer : public ActionTest::FloorFixture {
protected:
    void SetUp() override {
        FloorFixture::SetUp();
        live_.addDevice(&buttons_);
        for (uint32_t key = 0; key < 12; ++key) {
            live_.bind(key, 0, key);
        }
        context_.keys = &live_;
        CPlayerLayer::Services services;
        services.actions = &context_;
        services.replay = &replay_;
        services.liveKeys = &live_;
        services.makeMenu = [this](Fenwarrow::Actor::CPlayer&) { return menu_; };
        layer_ = std::make_shared<CPlayerLayer>(services, *floor_, *player_);
        player_->setPlayerLayer(layer_.get());
        ASSERT_TRUE(layer_->setup());
        layer_->setFocused(true);
    }
    void TearDown() override {
        player_->setPlayerLayer(nullptr);
        layer_.reset();
        FloorFixture::TearDown();
    }

    // One frame with exactly these keys down.
    void hold(std::initializer_list<uint32_t> keys) {
        buttons_.down.fill(false);
        for (uint32_t key : keys) {
            buttons_.down[key] = true;
        }
        live_.update();
    }
    // The player's turn in this frame; true when it ended. Actions then run to their end.
    bool turn() {
        player_->setTurnState(2);
        layer_->onTurn(*manager_);
        const bool ended = player_->getTurnState() == 0;
        EXPECT_TRUE(runUntilIdle());
        return ended;
    }
    MapPoint at() const { return pointOf(*player_); }

    // Walls along rows 4 and 6 from x 0 to 15 make a corridor on row 5, open to the north at 8.
    void buildCorridor() {
        for (int32_t x = 0; x <= 15; ++x) {
            floor_->getMap().getCell({x, 4})->cellType = Fenwarrow::Dungeon::kCellWall;
            floor_->getMap().getCell({x, 6})->cellType = Fenwarrow::Dungeon::kCellWall;
        }
        floor_->getMap().getCell({8, 4})->cellType = Fenwarrow::Dungeon::kCellFloor;
    }

    ScriptedButtons buttons_;
    Orvex::InputSystem::OxVirtualKey live_;
    ReplayTestGame replayGame_;
    Fenwarrow::Replay::CReplayController replay_{replayGame_};
    std::shared_ptr<RecordingMenu> menu_ = std::make_shared<RecordingMenu>();
    std::shared_ptr<CPlayerLayer> layer_;
};

// The key table counts the frames a key is held after the one it went down in.
TEST_F(PlayerLayer, ASingleKeyMovesOnceHeldFourFramesADiagonalPairAtOnce) {
    for (int frame = 1; frame <= 4; ++frame) {
        hold({Key::kKeyUp});
        EXPECT_FALSE(turn()) << frame;
        EXPECT_EQ(at(), kPlayerPoint);
    }
    hold({Key::kKeyUp});
    EXPECT_TRUE(turn());
    EXPECT_EQ(at(), (MapPoint{2, 4}));
    EXPECT_EQ(layer_->getLastDirection(), 0);

    hold({});
    hold({Key::kKeyDown, Key::kKeyRight});
    EXPECT_TRUE(turn());
    EXPECT_EQ(at(), (MapPoint{3, 5}));
    EXPECT_EQ(layer_->getLastDirection(), 3);

    hold({});
    EXPECT_FALSE(turn());
    EXPECT_EQ(layer_->getLastDirection(), -1);
}

TEST_F(PlayerLayer, AStepIntoAWallKeepsTheTurnAndUnfocusedTheLayerDoesNothing) {
    ASSERT_TRUE(floor_->putCellObject(player_.get(), {19, 5}, false));
    hold({});
    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyRight});
    }
    EXPECT_FALSE(turn());
    EXPECT_EQ(at(), (MapPoint{19, 5}));

    layer_->setFocused(false);
    hold({Key::kKeyLeft, Key::kKeyUp});
    EXPECT_FALSE(turn());
    EXPECT_EQ(at(), (MapPoint{19, 5}));
    EXPECT_EQ(context_.replaySteps, 1);  // only the focused turn stepped the replay
}

TEST_F(PlayerLayer, ARunStopsWhereASidePassageOpensThenWaitsForTheKeysToBeReleased) {
    buildCorridor();
    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyRun, Key::kKeyRight});
    }
    EXPECT_TRUE(turn());
    EXPECT_TRUE(layer_->isRunning());
    EXPECT_TRUE(layer_->isDashing());
    for (int step = 0; step < 20 && layer_->isRunning(); ++step) {
        hold({});
        turn();
    }
    EXPECT_FALSE(layer_->isRunning());
    EXPECT_EQ(at(), (MapPoint{8, 5}));
    EXPECT_EQ(player_->getAnimationSpeed(), 1.0f);

    // With the run over, a held key does nothing until every direction key was let go.
    EXPECT_TRUE(layer_->isWaitingForRelease());
    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyRight});
    }
    EXPECT_FALSE(turn());
    EXPECT_EQ(at(), (MapPoint{8, 5}));
    hold({});
    EXPECT_FALSE(turn());
    EXPECT_FALSE(layer_->isWaitingForRelease());
    EXPECT_FALSE(layer_->isDashing());
}

TEST_F(PlayerLayer, ARunStopsBeforeARoomExitAndOnAnyLogLine) {
    Fenwarrow::Dungeon::CRoom room;
    room.left = 0;
    room.top = 0;
    room.right = 10;
    room.bottom = 11;
    room.gates = {{11, 5}};
    Fenwarrow::Dungeon::CRoom* added = floor_->getMap().addRoom(room);
    floor_->getMap().setRoomCells(added);
    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyRun, Key::kKeyRight});
    }
    EXPECT_TRUE(turn());
    for (int step = 0; step < 20 && layer_->isRunning(); ++step) {
        hold({});
        turn();
    }
    EXPECT_EQ(at(), (MapPoint{10, 5}));  // the next step would be the gate

    hold({});
    hold({});
    EXPECT_FALSE(turn());  // keys released
    ASSERT_TRUE(floor_->putCellObject(player_.get(), {2, 8}, false));
    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyRun, Key::kKeyRight});
    }
    EXPECT_TRUE(turn());
    ASSERT_TRUE(layer_->isRunning());
    player_->setAnimationSpeed(3.0f);
    floor_->getLogManager().addLogMessage(u"なにかが起きた");
    EXPECT_FALSE(layer_->isRunning());
    EXPECT_FALSE(layer_->isDashing());
    EXPECT_EQ(player_->getAnimationSpeed(), 1.0f);
}

// The floor counts the player among those in its own sight, so a player in the turn order
// rests without the dash flag.
TEST_F(PlayerLayer, AFastRestEndsTheTurnWithoutAStepAtTripleMotionSpeedForThatTurn) {
    hold({Key::kKeyRun, Key::kKeyAttack, Key::kKeyUp});
    EXPECT_TRUE(turn());
    EXPECT_EQ(at(), kPlayerPoint);
    EXPECT_EQ(player_->getAnimationSpeed(), 3.0f);

    hold({});
    EXPECT_FALSE(turn());
    EXPECT_EQ(player_->getAnimationSpeed(), 1.0f);  // back at the next turn

    addEnemy({4, 5});
    hold({Key::kKeyRun, Key::kKeyAttack});
    EXPECT_TRUE(turn());
    EXPECT_FALSE(layer_->isDashing());
}

TEST_F(PlayerLayer, TheMenuKeyOpensTheMenuWhichTakesTheTurnsUntilItCloses) {
    floor_->getLogManager().addLogMessage(u"行");
    hold({Key::kKeyMenu});
    EXPECT_FALSE(turn());
    EXPECT_EQ(menu_->opens, 1);
    EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputMenu);
    EXPECT_EQ(context_.sounds, std::vector<int32_t>{0});
    EXPECT_TRUE(floor_->getLogManager().getLines().empty());

    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyUp});
    }
    turn();
    EXPECT_EQ(menu_->updates, 1);
    EXPECT_EQ(at(), kPlayerPoint);
    layer_->draw();
    ASSERT_EQ(context_.queued.size(), 1u);
    EXPECT_EQ(context_.queued[0].first, 6000000u);
    context_.queued[0].second();
    EXPECT_EQ(menu_->draws, 1);

    menu_->open = false;
    turn();
    EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputNormal);
}

TEST_F(PlayerLayer, TurnDiagonalAndMapModesFollowTheirHeldKeys) {
    // Key 7 pushed turns to the next shown neighbour clockwise from the facing.
    player_->getStatus().setDirection(0);
    auto hidden = addEnemy({3, 4});
    hidden->getStatus().setShown(false);
    addEnemy({1, 6});
    hold({Key::kKeyTurn});
    turn();
    EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputTurn);
    EXPECT_EQ(player_->getStatus().getDirection(), 5);
    hold({Key::kKeyTurn, Key::kKeyUp, Key::kKeyRight});
    EXPECT_FALSE(turn());
    EXPECT_EQ(player_->getStatus().getDirection(), 1);
    EXPECT_EQ(at(), kPlayerPoint);
    hold({});
    turn();
    EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputNormal);

    // Diagonal only: single keys do nothing, a pair steps at once.
    hold({Key::kKeyDiagonal});
    turn();
    ASSERT_EQ(layer_->getInputState(), CPlayerLayer::kInputDiagonal);
    for (int frame = 0; frame < 5; ++frame) {
        hold({Key::kKeyDiagonal, Key::kKeyDown});
        EXPECT_FALSE(turn());
    }
    hold({Key::kKeyDiagonal, Key::kKeyDown, Key::kKeyLeft});
    EXPECT_FALSE(turn());  // the neighbour stands there
    hold({Key::kKeyDiagonal, Key::kKeyDown, Key::kKeyRight});
    EXPECT_TRUE(turn());
    EXPECT_EQ(at(), (MapPoint{3, 6}));
    hold({});
    turn();
    EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputNormal);

    // The map view hides the HUD while key 10 is held.
    hold({Key::kKeyMap});
    turn();
    ASSERT_EQ(layer_->getInputState(), CPlayerLayer::kInputMap);
    hold({Key::kKeyMap});
    turn();
    EXPECT_FALSE(floor_->getHudVisible());
    hold({});
    turn();
    EXPECT_TRUE(floor_->getHudVisible());
    EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputNormal);
}

TEST_F(PlayerLayer, DuringAPlaybackTheLiveKeysChangeTheSpeedAndStop) {
    hold({Key::kKeyRun});
    layer_->update();
    EXPECT_EQ(floor_->getRequestedScene(), 0);  // not in playback: nothing

    replay_.setMode(Fenwarrow::Replay::CReplayController::kModePlayback);
    ASSERT_TRUE(replay_.start());
    const struct {
        uint32_t key;
        uint32_t speed;
    } presses[] = {{Key::kKeyRight, 1},
                   {Key::kKeyUp, 2},
                   {Key::kKeyLeft, 1},
                   {Key::kKeyDown, 0},
                   // One slower at the first speed stays there.
                   {Key::kKeyDown, 0}};
    for (const auto& press : presses) {
        hold({});
        hold({press.key});
        layer_->update();
        EXPECT_EQ(replay_.getSpeedIndex(), press.speed) << press.key;
    }
    EXPECT_EQ(floor_->getRequestedScene(), 0);
    hold({});
    hold({Key::kKeyRun});
    layer_->update();
    EXPECT_EQ(floor_->getRequestedScene(), Fenwarrow::Scene::kSceneResult);
    EXPECT_EQ(replay_.getState(), Fenwarrow::Replay::CReplayController::kStateStopped);
}

// The same layer over a player that carries the real condition set.
class ConditionedPlayerLayer : public PlayerLayer {
protected:
    static constexpr MapPoint kCentre{6, 5};

    void SetUp() override {
        context_.game.makeConditions = [](Fenwarrow::Actor::CActor& actor) {
            return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
        };
        PlayerLayer::SetUp();
        ASSERT_NE(player_->getConditions(), nullptr);
    }
    void give(int32_t type) { ASSERT_TRUE(player_->getConditions()->addCondition(type)); }
    // The floor refuses to put an object on the cell it already stands on.
    void place(MapPoint point) {
        if (at() != point) {
            ASSERT_TRUE(floor_->putCellObject(player_.get(), point, false));
        }
    }
    // The game's generator and a twin that foretells its draws start from the same seed.
    void seedBoth(uint32_t seed) {
        context_.game.random.seed(seed);
        twin_.seed(seed);
    }
    int32_t foretell(int32_t lo, int32_t hi) { return Orvex::Random::getRange(twin_, lo, hi); }

    Orvex::Random::OxMT19937RandomGenerator twin_;
};

TEST_F(ConditionedPlayerLayer, AConfusedPlayerStepsARandomWayWhileTheKeysKeepTheirDirection) {
    enum Mode { kPair, kSingle, kDiagonalOnly };
    const struct {
        Mode mode;
        bool confused;
    } cases[] = {{kPair, false}, {kPair, true}, {kSingle, true}, {kDiagonalOnly, false}, {kDiagonalOnly, true}};
    for (const auto& c : cases) {
        if (c.confused) {
            give(Fenwarrow::Actor::kConditionConfusion);
        } else {
            ASSERT_TRUE(player_->getConditions()->removeCondition(Fenwarrow::Actor::kConditionConfusion));
        }
        int offCourse = 0;
        for (uint32_t seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " confused " << c.confused << " seed " << seed);
            place(kCentre);
            hold({});
            turn();
            seedBoth(seed);
            int32_t dx = 1;
            int32_t dy = -1;
            int32_t direction = 1;
            if (c.confused) {
                dx = foretell(-1, 1);
                dy = foretell(-1, 1);
            }
            bool ended = false;
            if (c.mode == kPair) {
                hold({Key::kKeyUp, Key::kKeyRight});
                ended = turn();
            } else if (c.mode == kSingle) {
                direction = 2;
                if (!c.confused) {
                    dx = 1;
                    dy = 0;
                }
                for (int frame = 0; frame < 5; ++frame) {
                    hold({Key::kKeyRight});
                }
                ended = turn();
            } else {
                hold({Key::kKeyDiagonal});
                turn();
                ASSERT_EQ(layer_->getInputState(), CPlayerLayer::kInputDiagonal);
                hold({Key::kKeyDiagonal, Key::kKeyUp, Key::kKeyRight});
                ended = turn();
                hold({});
                turn();
            }
            // A step that lands on the player's own cell is refused and keeps the turn.
            const bool still = dx == 0 && dy == 0;
            EXPECT_EQ(ended, !still);
            EXPECT_EQ(at(), (MapPoint{kCentre.x + dx, kCentre.y + dy}));
            if (c.mode != kDiagonalOnly) {
                EXPECT_EQ(layer_->getLastDirection(), direction);
            }
            offCourse += (dx != 1 || dy != (c.mode == kSingle ? 0 : -1)) ? 1 : 0;
        }
        // Eight seeds are enough to send a confused player off the keys' course.
        EXPECT_EQ(offCourse > 0, c.confused) << c.mode;
    }
}

TEST_F(ConditionedPlayerLayer, AConfusedAttackFirstFacesARandomDirection) {
    for (const bool confused : {false, true}) {
        if (confused) {
            give(Fenwarrow::Actor::kConditionConfusion);
        }
        std::vector<int32_t> facings;
        std::vector<int32_t> expected;
        for (uint32_t seed = 1; seed <= 8; ++seed) {
            player_->getStatus().setDirection(4);
            seedBoth(seed);
            expected.push_back(confused ? foretell(0, 7) : 4);
            hold({});
            hold({Key::kKeyAttack});
            turn();
            facings.push_back(player_->getStatus().getDirection());
        }
        EXPECT_EQ(facings, expected) << confused;
    }
}

// Turning by hand still works; only the turn to the next neighbour needs sight.
TEST_F(ConditionedPlayerLayer, ABlindPlayerDoesNotTurnToItsNeighbour) {
    addEnemy({1, 6});
    const struct {
        bool blind;
        int32_t facing;
    } cases[] = {{false, 5}, {true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blind);
        if (c.blind) {
            give(Fenwarrow::Actor::kConditionBlind);
        }
        player_->getStatus().setDirection(0);
        hold({});
        turn();
        hold({Key::kKeyTurn});
        EXPECT_FALSE(turn());
        EXPECT_EQ(layer_->getInputState(), CPlayerLayer::kInputTurn);
        EXPECT_EQ(player_->getStatus().getDirection(), c.facing);
        hold({Key::kKeyTurn, Key::kKeyDown, Key::kKeyRight});
        EXPECT_FALSE(turn());
        EXPECT_EQ(player_->getStatus().getDirection(), 3);
    }
}

// Starving costs a life every turn; the player has to take those turns one at a time.
TEST_F(ConditionedPlayerLayer, AStarvingPlayerNeitherRestsFastNorRuns) {
    buildCorridor();
    for (const bool starving : {false, true}) {
        SCOPED_TRACE(starving);
        if (starving) {
            give(Fenwarrow::Actor::kConditionStarvation);
        }
        place(kPlayerPoint);
        hold({});
        turn();
        hold({Key::kKeyRun, Key::kKeyAttack});
        EXPECT_EQ(turn(), !starving);
        EXPECT_EQ(player_->getAnimationSpeed(), starving ? 1.0f : 3.0f);
        EXPECT_EQ(at(), kPlayerPoint);

        hold({});
        turn();
        for (int frame = 0; frame < 5; ++frame) {
            hold({Key::kKeyRun, Key::kKeyRight});
        }
        EXPECT_TRUE(turn());
        EXPECT_EQ(layer_->isRunning(), !starving);
        EXPECT_EQ(layer_->isDashing(), !starving);
        EXPECT_EQ(layer_->isWaitingForRelease(), !starving);
        hold({});
        EXPECT_EQ(turn(), !starving);
        EXPECT_EQ(at(), (MapPoint{starving ? 3 : 4, 5}));
        layer_->stopDash();
    }
}

}  // namespace
