#pragma once
// A small floor whose actors carry the real condition set: a 7 x 3 map of Floor cells with a
// room over the four left columns and a corridor to the right, the player at (1, 1) and an
// enemy east of it, the game data with the player, and a test "Actor" module through which the
// actors' look scripts report which look they built ("HERO", "SLIM" or "MOBB").
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/actor/CEnemy.h"
#include "game/actor/CPlayer.h"
#include "game/condition/CConditionController.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"

namespace ConditionTest {

using Fenwarrow::Actor::CActor;
using Fenwarrow::Actor::Condition::CConditionController;

// What the scripts report: the look each actor was last given, and the trace of calls.
struct ScriptReports {
    std::map<const void*, std::string> looks;
    std::vector<std::string> trace;
};

inline ScriptReports& reports() {
    static ScriptReports shared;
    return shared;
}

// Actor.markLook(actor, name): the look script of a folder built its look on that actor.
inline int markLook(lua_State* L) {
    reports().looks[lua_touserdata(L, 1)] = lua_tostring(L, 2) != nullptr ? lua_tostring(L, 2) : "";
    return 0;
}

// Actor.note(text): a script was called.
inline int note(lua_State* L) {
    reports().trace.emplace_back(lua_tostring(L, 1) != nullptr ? lua_tostring(L, 1) : "");
    return 0;
}

// A look script of a folder: the set-up and every rebuild mark the actor with the folder's name.
inline std::vector<uint8_t> lookScript(const std::string& name) {
    return ScriptTest::textBytes(
        "local actor = nil\n"
        "function setActor(a) actor = a end\n"
        "function setup() Actor.markLook(actor, '" +
        name +
        "') end\n"
        "function setupAnimation() Actor.markLook(actor, '" +
        name + "') end\n");
}

// Raw draws in the order the rules ask for them; once they run out, the middle of the range.
class ScriptedRandom : public Orvex::Random::IOrvexRandomGenerator {
public:
    static constexpr uint32_t kRoll80 = 0xCC486770u;   // getRangeReal(1, 100) gives 80.0
    static constexpr uint32_t kRollTop = 0xFFFFFFFFu;  // getRangeReal(1, 100) gives 100.0

    void seed(uint32_t) override {}
    uint32_t getSeed() override { return 0; }
    uint32_t next() override {
        if (draws.empty()) {
            return 0x80000000u;
        }
        const uint32_t value = draws.front();
        draws.pop_front();
        return value;
    }
    std::deque<uint32_t> draws;
};

class ConditionContext : public GameTest::TestGameContext {
public:
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return scripted; }
    ScriptedRandom scripted;
};

class ConditionFloor : public ::testing::Test {
protected:
    static constexpr const char16_t* kEnemyFolder = u"Actor/Enemy/SLIM/SLIM01/";

    // Extra archive entries a test group needs (scripts its conditions run).
    virtual std::vector<Orvex::Packer::PackerEntry> extraEntries() const { return {}; }

    void SetUp() override {
        reports() = ScriptReports();
        std::vector<Orvex::Packer::PackerEntry> entries = {
            {u"Actor/Player/HERO/setup.lua.lcd", lookScript("HERO"), false},
            {u"Actor/Player/HERO/actor.lua.lcd",
             ScriptTest::textBytes("function Actor.onEnterTurn() Actor.note('own enter') end\n"
                                   "function Actor.onExitTurn() Actor.note('own exit') end\n"),
             false},
            {u"Actor/Enemy/SLIM/SLIM01/setup.lua.lcd", lookScript("SLIM"), false},
            {u"Actor/Enemy/SLIM/SLIM01/actor.lua.lcd", ScriptTest::textBytes(""), false},
            {u"Actor/Enemy/MOBB/MOBB01/setup.lua.lcd", lookScript("MOBB"), false},
        };
        for (auto& entry : extraEntries()) {
            entries.push_back(std::move(entry));
        }
        ScriptTest::openArchive(folder_, context_.reader, entries);
        context_.provideAllModules();
        context_.factories[Fenwarrow::ScriptModule::kActor] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Actor",
                std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"markLook", &markLook}, {"note", &note}});
        };
        context_.makeConditions = [](CActor& actor) { return std::make_unique<CConditionController>(actor); };

        floor_ = std::make_unique<Fenwarrow::Dungeon::CDungeon>(services_);
        context_.dungeon = floor_.get();
        // As the game answers it: from the player of the floor in play.
        context_.playerCondition = [this](int32_t type) {
            const auto& player = floor_ != nullptr ? floor_->getPlayer() : nullptr;
            return player != nullptr && player->hasCondition(type);
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(context_);
        context_.gameData = data_.get();
        player_ = data_->getPlayer();
        ASSERT_NE(player_, nullptr);
        ASSERT_TRUE(player_->setup(u"Actor/Player/HERO/"));

        Fenwarrow::Dungeon::CMap& map = floor_->getMap();
        ASSERT_TRUE(map.create(32, 7, 3));
        map.clearRoom();
        for (Fenwarrow::Dungeon::CMapCell& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellFloor;
        }
        Fenwarrow::Dungeon::CRoom room;
        room.left = 0;
        room.top = 0;
        room.right = 3;
        room.bottom = 2;
        map.addRoom(room);
        map.assignRoomCells();
        floor_->setPlayer(player_);
        floor_->addTurnParticipant(player_);
        ASSERT_TRUE(floor_->putCellObject(player_.get(), {1, 1}, false));
        enemy_ = addEnemy({2, 1});
    }

    void TearDown() override {
        context_.gameData = nullptr;
        context_.dungeon = nullptr;
        context_.playerCondition = nullptr;
        enemy_.reset();
        player_.reset();
        data_.reset();
        floor_.reset();
    }

    std::shared_ptr<Fenwarrow::Actor::CEnemy> addEnemy(Fenwarrow::Dungeon::MapPoint point) {
        auto enemy = std::make_shared<Fenwarrow::Actor::CEnemy>(context_);
        EXPECT_TRUE(enemy->setup(kEnemyFolder));
        floor_->addTurnParticipant(enemy);
        EXPECT_TRUE(floor_->putCellObject(enemy.get(), point, false));
        return enemy;
    }

    static CConditionController& conditions(CActor& actor) {
        return *static_cast<CConditionController*>(actor.getConditions());
    }
    static bool add(CActor& actor, int32_t type) { return conditions(actor).addCondition(type); }
    static bool has(const CActor& actor, int32_t type) { return actor.hasCondition(type); }
    // One turn entry of the actor's conditions; whether the actor got its turn.
    static bool enterTurn(CActor& actor) {
        conditions(actor).onEnterTurn();
        return conditions(actor).getMayAct();
    }
    static std::string lookOf(const CActor& actor) {
        const auto found = reports().looks.find(&actor);
        return found != reports().looks.end() ? found->second : "";
    }
    // The effect sprite of an actor with every condition mark, stopped.
    static void giveMarks(CActor& actor) {
        const auto& effect = actor.getExtraSprite(CActor::kEffectSprite);
        for (const char16_t* mark : {u"Confusion", u"Drunken", u"Blind", u"Trip", u"Unhinged"}) {
            const auto frame = static_cast<uint32_t>(effect->getAnimationDataList().size());
            effect->getAnimationDataList().push_back(std::make_shared<Orvex::MossbellLib::OxAnimationData>(0, 0.1f));
            effect->getPlayRangeList().push_back(
                std::make_shared<Orvex::MossbellLib::OxMADObject::OxPlayRangeData>(frame, frame, mark));
        }
    }
    // The mark the effect sprite shows; empty while it is stopped.
    static std::u16string markOf(const CActor& actor) {
        const auto& effect = actor.getExtraSprite(CActor::kEffectSprite);
        if (effect->getState() != Orvex::MossbellLib::OxMADObject::kPlaying) {
            return u"";
        }
        for (const auto& range : effect->getPlayRangeList()) {
            if (effect->isPlayingFromPlayRangeName(range->name)) {
                return range->name;
            }
        }
        return u"?";
    }

    TempFolder folder_;
    ConditionContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    std::unique_ptr<Fenwarrow::Dungeon::CDungeon> floor_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    std::shared_ptr<Fenwarrow::Actor::CPlayer> player_;
    std::shared_ptr<Fenwarrow::Actor::CEnemy> enemy_;
};

}  // namespace ConditionTest
