// Enemies of the sample data set up from their folders (their "setup.lua" and "actor.lua" with
// the shared enemy AI) take their turns on a real floor through its turn controller, with the
// real action queue: they close in on the player a cell a turn, strike it once beside it, and
// every turn ends, so the order comes back to the player. The player rests each turn through
// the game's player layer (run and attack held), which ends its turn without a step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/control/CPlayerLayer.h"
#include "game/dungeon/CRoom.h"
#include "tests/game/action/SampleScriptFloor.h"

namespace {

using Fenwarrow::Actor::CActor;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::SceneLayer::CPlayerLayer;

const std::u16string kSlime = u"Actor/Enemy/SLIM/SLIM01/";
const std::u16string kMobb = u"Actor/Enemy/MOBB/MOBB01/";

class SampleEnemyTurns : public ActionTest::SampleScriptFloor {
protected:
    void SetUp() override {
        SampleScriptFloor::SetUp();
        // One room over the left of the floor: an enemy in it sees the player from anywhere in it.
        Fenwarrow::Dungeon::CMap& map = floor_->getMap();
        map.addRoom(Fenwarrow::Dungeon::CRoom(1, 1, 12, 10));
        ASSERT_TRUE(map.assignRoomCells());

        CPlayerLayer::Services services;
        services.actions = &context_;
        layer_ = std::make_shared<CPlayerLayer>(services, *floor_, *player_);
        ASSERT_TRUE(layer_->setup());
        layer_->setFocused(true);
        player_->setPlayerLayer(layer_.get());
    }
    void TearDown() override {
        player_->setPlayerLayer(nullptr);
        layer_.reset();
        SampleScriptFloor::TearDown();
    }

    std::shared_ptr<CActor> enemy(const std::u16string& folder, MapPoint point) {
        auto made = floor_->createEnemy(folder, point);
        EXPECT_NE(made, nullptr) << "set up from its folder";
        return made;
    }

    // Frames run (each bounded to ten seconds of them) until it is the player's turn with the
    // queue idle; the player rests; frames run again until every other participant has had its
    // turn and the player's next one has begun. False when the order does not come back: a turn
    // that never ended.
    bool round() {
        if (!updateUntil([&] { return playersTurn() || (turns().update(*manager_), false); })) {
            return false;
        }
        const uint32_t turn = turns().getTurnCount();
        keys_.setDown(CPlayerLayer::kKeyRun, true);
        keys_.setDown(CPlayerLayer::kKeyAttack, true);
        const bool back = updateUntil(
            [&] { return (turns().getTurnCount() > turn && playersTurn()) || (turns().update(*manager_), false); });
        keys_.setDown(CPlayerLayer::kKeyRun, false);
        keys_.setDown(CPlayerLayer::kKeyAttack, false);
        return back;
    }
    bool playersTurn() {
        return turns().getCurrent() == player_ && player_->getTurnState() != 0 && !manager_->isBusy();
    }

    // Lines of the log that tell of a blow (or a miss) of the named attacker on the player.
    std::vector<std::u16string> blowsBy(const std::u16string& name, std::size_t from = 0) const {
        std::vector<std::u16string> lines;
        for (std::size_t i = from; i < log().size(); ++i) {
            if (log()[i].find(u"<0:COLOR>" + name + u"</COLOR>") == 0) {
                lines.push_back(log()[i]);
            }
        }
        return lines;
    }

    static int32_t distance(const CActor& a, const CActor& b) {
        const MapPoint p = pointOf(a);
        const MapPoint q = pointOf(b);
        return std::max(std::abs(p.x - q.x), std::abs(p.y - q.y));
    }

    Fenwarrow::Dungeon::CTurnController& turns() { return floor_->getTurnController(); }

    std::shared_ptr<CPlayerLayer> layer_;
};

TEST_F(SampleEnemyTurns, ASlimeClosesInACellATurnThenStrikesThePlayer) {
    const auto slime = enemy(kSlime, {8, 5});
    ASSERT_NE(slime, nullptr);
    EXPECT_EQ(slime->getName(), u"スライム");
    EXPECT_EQ(slime->getStatus().getAttack(), 2);

    // Six cells off on the player's row: five turns of one step each bring it beside the player.
    for (int32_t expected = 5; expected >= 1; --expected) {
        ASSERT_TRUE(round()) << "the slime's turn must end with " << expected << " cells to go";
        EXPECT_EQ(distance(*slime, *player_), expected);
        EXPECT_EQ(pointOf(*slime).y, kPlayerPoint.y) << "straight at the player";
    }
    EXPECT_EQ(pointOf(*slime), (MapPoint{kPlayerPoint.x + 1, kPlayerPoint.y}));
    EXPECT_TRUE(blowsBy(u"スライム").empty()) << "no blow from afar";
    EXPECT_EQ(player_->getStatus().getLife(), 20.0f);

    // Beside the player it strikes each turn, staying put; within ten turns one blow hurts.
    for (int32_t blows = 1; blows <= 10 && player_->getStatus().getLife() == 20.0f; ++blows) {
        ASSERT_TRUE(round()) << "the slime's turn must end after its blow";
        EXPECT_EQ(blowsBy(u"スライム").size(), static_cast<std::size_t>(blows));
        EXPECT_EQ(pointOf(*slime), (MapPoint{kPlayerPoint.x + 1, kPlayerPoint.y}));
        EXPECT_EQ(slime->getStatus().getDirection(), kLeft) << "it faces the player";
    }
    const float life = player_->getStatus().getLife();
    EXPECT_LT(life, 20.0f);
    EXPECT_GT(life, 0.0f);
    // The last blow's line tells what the blow took (the turn's recovery may since have given a
    // little back).
    const auto& blow = Fenwarrow::Damage::CDamageCalculator::of(*player_).getResult();
    EXPECT_EQ(blow.originActor, slime.get());
    ASSERT_GE(blow.damage, 1.0f);
    EXPECT_LE(life, 20.0f - blow.damage + 1.0f);
    const std::string shown = std::to_string(static_cast<int>(blow.damage));
    EXPECT_EQ(blowsBy(u"スライム").back(), u"<0:COLOR>スライム</COLOR>は<0:COLOR>勇者</COLOR>に<1:COLOR>" +
                                               std::u16string(shown.begin(), shown.end()) +
                                               u"</COLOR>のダメージを与えた！");
}

// Two enemies take their turns in the order they came, each after the other's blow has run.
TEST_F(SampleEnemyTurns, TwoEnemiesTakeTheirTurnsInOrderAndBothStrike) {
    const auto slime = enemy(kSlime, {8, 5});
    const auto mobb = enemy(kMobb, {2, 9});
    ASSERT_NE(slime, nullptr);
    ASSERT_NE(mobb, nullptr);
    ASSERT_EQ(mobb->getName(), u"モッブリー");

    for (int32_t round = 1; round <= 5; ++round) {
        ASSERT_TRUE(this->round()) << "round " << round;
        EXPECT_EQ(distance(*slime, *player_), 6 - round);
        EXPECT_EQ(distance(*mobb, *player_), std::max(4 - round, 1));
    }
    // The nearer one stood beside the player after the third round and struck in the next two.
    EXPECT_EQ(blowsBy(u"モッブリー").size(), 2u);
    EXPECT_TRUE(blowsBy(u"スライム").empty());

    player_->getStatus().setMaxLife(500.0f);
    player_->getStatus().setLife(500.0f);
    for (int32_t round = 1; round <= 3; ++round) {
        const std::size_t from = log().size();
        ASSERT_TRUE(this->round()) << "round " << round << " beside the player";
        const auto first = std::find_if(log().begin() + static_cast<std::ptrdiff_t>(from), log().end(),
                                        [](const std::u16string& line) { return line.find(u"<0:COLOR>") == 0; });
        ASSERT_NE(first, log().end());
        EXPECT_EQ(first->find(u"<0:COLOR>スライム</COLOR>"), 0u) << "the slime came first and strikes first";
        EXPECT_EQ(blowsBy(u"スライム", from).size(), 1u);
        EXPECT_EQ(blowsBy(u"モッブリー", from).size(), 1u);
    }
    EXPECT_LT(player_->getStatus().getLife(), 500.0f);
}

}  // namespace
