#include "game/damage/CDamageCalculator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>

#include "game/actor/CPlayer.h"
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionController.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::CGameDataManager;
using Fenwarrow::Actor::CActor;
using Fenwarrow::Damage::CDamageCalculator;
using Fenwarrow::Damage::CDamageParam;
using Fenwarrow::Damage::CDamageWorld;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::CRoom;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::Item::CItem;

// Raw draws in the order the calculation asks for them; once they run out, the middle of the
// range (a hit roll of about 50, a blow factor of exactly 1.0, no critical).
class ScriptedRandom : public Orvex::Random::IOrvexRandomGenerator {
public:
    static constexpr uint32_t kSure = 0;                 // roll 1.0: every hit lands
    static constexpr uint32_t kMiss = 0xFFFFFFFFu;       // roll ~100: beyond every hit chance
    static constexpr uint32_t kRoll80 = 0xCC486770u;     // roll 80.0
    static constexpr uint32_t kFactorOne = 0x80000000u;  // blow factor 128 / 128
    static constexpr uint32_t kRoll20 = 0x31219DE6u;     // roll 20.0
    static constexpr uint32_t kAbove20 = 0x3121ADE6u;    // roll 20.0001
    static constexpr uint32_t kRoll75 = 0xBF5A81F0u;     // roll 75.0
    static constexpr uint32_t kAbove75 = 0xBF5A91F0u;    // roll 75.0001

    void seed(uint32_t) override {}
    uint32_t getSeed() override { return 0; }
    uint32_t next() override {
        if (draws.empty()) {
            return kFactorOne;
        }
        const uint32_t value = draws.front();
        draws.pop_front();
        return value;
    }
    std::deque<uint32_t> draws;
};

class DamageContext : public GameTest::TestGameContext {
public:
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return scripted; }
    ScriptedRandom scripted;
};

struct Enemy : CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
    void onDamage() override { ++damageEvents; }
    int damageEvents = 0;
};

constexpr const char* kPlayerSetup = "function setActor(a) end function setup() end function setupAnimation() end";

// A 5 x 3 floor, all Floor; a room over the three left columns, a corridor to the right. The
// player stands at (1, 1) with an enemy east of it.
class Damage : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(
            folder_, context_.reader,
            {{u"Actor/Player/HERO/setup.lua.lcd", ScriptTest::textBytes(kPlayerSetup), false},
             {u"Actor/Player/HERO/actor.lua.lcd", ScriptTest::textBytes(""), false},
             {u"Item/Amulet/AMU20/setup.lua.lcd", ScriptTest::textBytes("function initialize(item) end"), false}});
        context_.provideAllModules();
        // Every actor carries the real condition set, which the calculation reads and changes.
        context_.makeConditions = [](CActor& actor) {
            return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
        };
        build();
    }

    // A fresh game and floor.
    void build() {
        context_.gameData = nullptr;
        enemy_.reset();
        player_.reset();
        floor_ = std::make_unique<CDungeon>(services_);
        data_ = std::make_unique<CGameDataManager>(context_);
        context_.gameData = data_.get();
        context_.scripted.draws.clear();
        queued_.clear();
        player_ = data_->getPlayer();
        ASSERT_NE(player_, nullptr);
        player_->setName(u"旅人");
        auto& status = player_->getStatus();
        status.setMaxLife(100.0f);
        status.setLife(100.0f);
        status.setMaxHungerPoint(200.0f);
        status.setHungerPoint(100.0f);
        status.setMaxForce(8);
        status.setForce(8);
        status.setAttack(10.0f);
        status.setDefense(0.0f);

        ASSERT_TRUE(floor_->getMap().create(32, 5, 3));
        floor_->getMap().clearRoom();
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 5; ++x) {
                floor_->getMap().getCell({x, y})->cellType = Fenwarrow::Dungeon::kCellFloor;
            }
        }
        CRoom room;
        room.left = 0;
        room.top = 0;
        room.right = 2;
        room.bottom = 2;
        floor_->getMap().addRoom(room);
        floor_->getMap().assignRoomCells();
        floor_->setPlayer(player_);
        floor_->addTurnParticipant(player_);
        ASSERT_TRUE(floor_->putCellObject(player_.get(), {1, 1}, false));
        enemy_ = addEnemy({2, 1});
        enemy_->setName(u"ネズミ");
        enemy_->getStatus().setAttack(10.0f);
    }

    const std::vector<std::u16string>& lines() const { return floor_->getLogManager().getHistory(); }

    std::shared_ptr<Enemy> addEnemy(MapPoint point) {
        auto enemy = std::make_shared<Enemy>(context_);
        enemy->getStatus().setMaxLife(100.0f);
        enemy->getStatus().setLife(100.0f);
        enemy->getStatus().setDefense(0.0f);
        floor_->addTurnParticipant(enemy);
        EXPECT_TRUE(floor_->putCellObject(enemy.get(), point, false));
        return enemy;
    }
    std::shared_ptr<CItem> equip(int32_t type, std::initializer_list<uint32_t> abilities, int32_t value = 0) {
        auto item = std::make_shared<CItem>(context_, 100 + static_cast<uint32_t>(type));
        item->setItemType(type);
        item->getStatus().setSlotCount(4);
        for (uint32_t ability : abilities) {
            item->getStatus().addAbility(ability);
        }
        item->getStatus().setAttack(type == CItem::kWeapon ? value : 0);
        item->getStatus().setDefense(type == CItem::kShield ? value : 0);
        player_->addItem(item);
        if (type == CItem::kWeapon) {
            data_->setEquippedWeaponItem(item.get());
        } else if (type == CItem::kShield) {
            data_->setEquippedShieldItem(item.get());
        } else {
            data_->setEquippedAmuletItem(item.get());
        }
        return item;
    }
    // A blow of `from` against `to`.
    const CDamageCalculator::Result& blow(CActor& from, CActor& to, bool forceHit = false) {
        CDamageParam& param = CDamageCalculator::of(to).getParam();
        param.clear();
        param.kind = CDamageParam::kBlow;
        param.sourceType = CDamageParam::kSourceActor;
        param.originActor = &from;
        return run(to, forceHit);
    }
    // Runs the target's calculator with its parameters as they stand, lines logged.
    const CDamageCalculator::Result& run(CActor& to, bool forceHit = false) {
        CDamageCalculator& calculator = CDamageCalculator::of(to);
        calculator.setLogMessage(true);
        calculator.execute(CDamageWorld{context_, floor_.get(), [this](CActor& hurt) { queued_.push_back(&hurt); }},
                           forceHit);
        return calculator.getResult();
    }

    TempFolder folder_;
    DamageContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    std::unique_ptr<CDungeon> floor_;
    std::unique_ptr<CGameDataManager> data_;
    std::shared_ptr<Fenwarrow::Actor::CPlayer> player_;
    std::shared_ptr<Enemy> enemy_;
    std::vector<CActor*> queued_;
};

TEST(DamageFactors, PlayerBlowFactorsFollowTheirTables) {
    const float surrounding[] = {1.0f, 1.0f, 1.125f, 1.25f, 1.5f, 1.75f, 2.0f, 2.5f, 3.0f};
    for (int32_t n = 0; n <= 8; ++n) {
        EXPECT_FLOAT_EQ(CDamageCalculator::surroundingFactor(n), surrounding[n]) << n;
    }
    EXPECT_FLOAT_EQ(CDamageCalculator::pinchFactor(29.0f, 100.0f), 1.25f);
    EXPECT_FLOAT_EQ(CDamageCalculator::pinchFactor(30.0f, 100.0f), 1.0f);
    struct Hunger {
        float h, factor;
    };
    for (const Hunger& c : {Hunger{200.0f, 2.0f}, Hunger{199.5f, 1.25f}, Hunger{151.0f, 1.25f}, Hunger{150.5f, 1.125f},
                            Hunger{101.0f, 1.125f}, Hunger{100.5f, 1.0f}, Hunger{51.0f, 1.0f}, Hunger{50.0f, 0.9f},
                            Hunger{26.0f, 0.9f}, Hunger{25.0f, 0.75f}, Hunger{1.0f, 0.75f}, Hunger{0.5f, 1.25f}}) {
        EXPECT_FLOAT_EQ(CDamageCalculator::fullnessFactor(c.h), c.factor) << c.h;
    }
    EXPECT_FLOAT_EQ(CDamageCalculator::wealthFactor(10000), 1.25f);
    EXPECT_FLOAT_EQ(CDamageCalculator::wealthFactor(9999), 1.125f);
    EXPECT_FLOAT_EQ(CDamageCalculator::wealthFactor(5000), 1.125f);
    EXPECT_FLOAT_EQ(CDamageCalculator::wealthFactor(4999), 1.0f);
}

TEST(DamageFactors, WeaponCategoryFactorAddsSharedCategories) {
    using Categories = CDamageCalculator::Categories;
    auto with = [](std::initializer_list<std::pair<std::size_t, float>> values) {
        Categories c{};
        for (auto [index, value] : values) {
            c[index] = value;
        }
        return c;
    };
    struct Case {
        Categories target, weapon;
        float factor;
    };
    const Case cases[] = {
        {with({}), with({{0, 1.0f}}), 1.0f},                                 // nothing shared
        {with({{0, 1.0f}}), with({{0, 1.0f}}), 1.0f},                        // the common category
        {with({{1, 1.0f}}), with({{0, 1.0f}, {1, 1.0f}}), 1.5f},             // a weak point
        {with({{0, 1.0f}, {1, 1.0f}}), with({{0, 1.0f}, {1, 1.0f}}), 1.5f},  // replaces the 1.0
        {with({{1, 3.0f}, {2, 1.0f}}), with({{1, 1.0f}, {2, 1.0f}}), 3.0f},  // two weak points add
        {with({{2, 1.0f}}), with({{2, 2.0f}}), 1.0f},                        // no common bit
        {with({{11, 1.0f}}), with({{11, 1.0f}}), 1.0f},                      // a spirit: the right weapon
        {with({{11, 1.0f}}), with({{0, 1.0f}}), 0.0f},                       // a spirit: any other
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_FLOAT_EQ(CDamageCalculator::weaponCategoryFactor(cases[i].target, cases[i].weapon), cases[i].factor)
            << "case " << i;
    }
}

// Blows with a blow factor of exactly 1.0: an enemy of attack 10 deals 10 x 0.96875^defence;
// the player (attack 10, force 8, a room, one neighbour, fullness 100, no money) deals
// 10 x 0.5 x (8 x 0.125 + weapon x 0.0625) times its factors.
TEST_F(Damage, BlowsFollowTheFormula) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool playerAttacks;
        float lifeAfter;
    };
    const Case cases[] = {
        {"enemy, bare", [] {}, false, 90.0f},
        {"enemy, player's shield 3", [this] { equip(CItem::kShield, {}, 3); }, false, 91.0f},  // 9.09
        {"enemy of attack 0.4", [this] { enemy_->getStatus().setAttack(0.4f); }, false, 99.0f},
        {"player, bare", [] {}, true, 95.0f},
        {"player, weapon 4", [this] { equip(CItem::kWeapon, {}, 4); }, true, 94.0f},  // 6.25
        {"player, full", [this] { player_->getStatus().setHungerPoint(200.0f); }, true, 90.0f},
        {"player, nearly full", [this] { player_->getStatus().setHungerPoint(199.5f); }, true, 94.0f},
        {"player at 29%", [this] { player_->getStatus().setLife(29.0f); }, true, 94.0f},
        {"player at 30%", [this] { player_->getStatus().setLife(30.0f); }, true, 95.0f},
        {"player in a corridor",
         [this] {
             ASSERT_TRUE(floor_->putCellObject(player_.get(), {3, 1}, false));
         },
         true, 96.0f},  // 4.5
        {"player, rich", [this] { data_->setPlayerMoney(10000); }, true, 94.0f},
        {"player, surrounded",
         [this] {
             addEnemy({1, 0}), addEnemy({0, 1});
         },
         true, 94.0f},                                                                       // 3 around
        {"enemy defence 4", [this] { enemy_->getStatus().setDefense(4.0f); }, true, 96.0f},  // 4.40
    };
    for (const Case& c : cases) {
        build();
        c.arrange();
        CActor& from = c.playerAttacks ? static_cast<CActor&>(*player_) : *enemy_;
        CActor& to = c.playerAttacks ? static_cast<CActor&>(*enemy_) : *player_;
        context_.scripted.draws = {ScriptedRandom::kSure};
        const auto& result = blow(from, to);
        EXPECT_TRUE(result.isHit) << c.what;
        EXPECT_FALSE(result.isCritical) << c.what;
        EXPECT_FLOAT_EQ(to.getStatus().getLife(), c.lifeAfter) << c.what;
        EXPECT_FLOAT_EQ(result.damage, 100.0f - c.lifeAfter) << c.what;
    }
}

TEST_F(Damage, ThePlayersShieldGuardsOnlyThePlayer) {
    equip(CItem::kShield, {}, 3);
    auto other = addEnemy({2, 2});
    context_.scripted.draws = {ScriptedRandom::kSure};
    blow(*enemy_, *other);
    EXPECT_FLOAT_EQ(other->getStatus().getLife(), 90.0f);
    context_.scripted.draws = {ScriptedRandom::kSure};
    blow(*enemy_, *player_);
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 91.0f);
}

TEST_F(Damage, HitsMissesParriesAndCriticals) {
    // A miss changes nothing, says so and queues no damage script.
    context_.scripted.draws = {ScriptedRandom::kMiss};
    EXPECT_FALSE(blow(*enemy_, *player_).isHit);
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 100.0f);
    EXPECT_EQ(lines().back(), u"<0:COLOR>ネズミ</COLOR>の攻撃はあたらなかった。");
    EXPECT_TRUE(queued_.empty());
    // Forced, the same roll hits.
    context_.scripted.draws = {ScriptedRandom::kMiss};
    EXPECT_TRUE(blow(*enemy_, *player_, true).isHit);
    EXPECT_EQ(lines().back(),
              u"<0:COLOR>ネズミ</COLOR>は<0:COLOR>旅人</COLOR>に<1:COLOR>10</COLOR>のダメージを与えた！");
    EXPECT_EQ(queued_, std::vector<CActor*>{player_.get()});

    // Dodging (27) makes a roll of 80 miss; sure aim (53) does too; sure hit (33) hits anyway.
    build();
    equip(CItem::kShield, {27});
    context_.scripted.draws = {ScriptedRandom::kRoll80};
    EXPECT_FALSE(blow(*enemy_, *player_).isHit);
    build();
    equip(CItem::kWeapon, {53});
    context_.scripted.draws = {ScriptedRandom::kRoll80};
    EXPECT_FALSE(blow(*player_, *enemy_).isHit);
    build();
    equip(CItem::kWeapon, {33});
    context_.scripted.draws = {ScriptedRandom::kMiss};
    EXPECT_TRUE(blow(*player_, *enemy_).isHit);

    // A parrying target (category bit 10) takes nothing.
    build();
    enemy_->getStatus().setCategory(CDamageCalculator::kParryBit, true);
    context_.scripted.draws = {ScriptedRandom::kSure};
    EXPECT_FALSE(blow(*player_, *enemy_).isHit);
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 100.0f);
    EXPECT_EQ(lines().back(), u"<0:COLOR>旅人</COLOR>の攻撃は受け流された。");

    // Strength (10) strikes critically on a roll of 1 in 100: double damage.
    build();
    equip(CItem::kWeapon, {10});
    context_.scripted.draws = {ScriptedRandom::kSure, ScriptedRandom::kFactorOne, 0};
    const auto& result = blow(*player_, *enemy_);
    EXPECT_TRUE(result.isCritical);
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 90.0f);
    EXPECT_EQ(lines().size(), 2u);
    EXPECT_EQ(lines().front(), u"会心の一撃！");
}

TEST_F(Damage, FixedDamageAndExplosions) {
    CDamageParam& param = CDamageCalculator::of(*player_).getParam();
    param.clear();
    param.kind = CDamageParam::kFixed;
    param.fixedValue = -7.0f;
    param.originActor = enemy_.get();
    EXPECT_TRUE(run(*player_).isHit);
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 93.0f);
    EXPECT_EQ(lines().back(),
              u"<0:COLOR>ネズミ</COLOR>は<0:COLOR>旅人</COLOR>に<1:COLOR>7</COLOR>のダメージを与えた！");
    param.originActor = nullptr;
    run(*player_);
    EXPECT_EQ(lines().back(), u"<0:COLOR>旅人</COLOR>は<1:COLOR>7</COLOR>のダメージを受けた！");

    CDamageParam& kill = CDamageCalculator::of(*enemy_).getParam();
    kill.clear();
    kill.kind = CDamageParam::kFixed;
    kill.fixedKill = true;
    run(*enemy_);
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 0.0f);
    EXPECT_EQ(lines().back(), u"<0:COLOR>ネズミ</COLOR>を死に誘った。");

    // An explosion leaves the player one point, or half its life with the mine ability (21).
    for (bool mine : {false, true}) {
        build();
        if (mine) {
            equip(CItem::kAmulet, {21});
        }
        CDamageParam& blast = CDamageCalculator::of(*player_).getParam();
        blast.clear();
        blast.kind = CDamageParam::kExplosion;
        EXPECT_FLOAT_EQ(run(*player_).damage, mine ? 50.0f : 99.0f);
        EXPECT_FLOAT_EQ(player_->getStatus().getLife(), mine ? 50.0f : 1.0f);
    }
}

TEST_F(Damage, StatusChangesAndTheWornAmulet) {
    auto change = [this](CActor& target, auto set) {
        CDamageParam& param = CDamageCalculator::of(target).getParam();
        param.clear();
        param.kind = CDamageParam::kActorStatus;
        set(param.actorStatus);
        return run(target);
    };
    change(*player_, [](auto& s) { s.hungerPoint = 20.0f; });
    EXPECT_FLOAT_EQ(player_->getStatus().getHungerPoint(), 120.0f);
    EXPECT_EQ(lines().back(), u"<0:COLOR>旅人</COLOR>は満腹度が<1:COLOR>20</COLOR>上がった！");
    player_->getStatus().setStabilityState(CDamageCalculator::kNoHungerLossBit, true);
    change(*player_, [](auto& s) { s.hungerPoint = -50.0f; });
    EXPECT_FLOAT_EQ(player_->getStatus().getHungerPoint(), 120.0f);
    change(*player_, [](auto& s) { s.life = -30.0f; });
    EXPECT_EQ(lines().back(), u"<0:COLOR>旅人</COLOR>はHPが<1:COLOR>30</COLOR>下がった！");
    // The line tells what the setter let through, in whole points: a heal near full life, a
    // loss below zero.
    player_->getStatus().setMaxLife(40.0f);
    player_->getStatus().setLife(36.5f);
    change(*player_, [](auto& s) { s.life = 25.0f; });
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 40.0f);
    EXPECT_EQ(lines().back(), u"<0:COLOR>旅人</COLOR>はHPが<1:COLOR>4</COLOR>回復した！");
    change(*player_, [](auto& s) { s.life = -100.0f; });
    EXPECT_EQ(lines().back(), u"<0:COLOR>旅人</COLOR>はHPが<1:COLOR>40</COLOR>下がった！");
    player_->getStatus().setLife(40.0f);

    // The warding amulet keeps the level; on a roll of 20 or less it wears out into item 20,
    // which takes its place and stays equipped, the other equipment untouched.
    player_->getStatus().setLevel(5);
    auto sword = equip(CItem::kWeapon, {});
    auto amulet = equip(CItem::kAmulet, {36});
    auto shield = equip(CItem::kShield, {});
    context_.scripted.draws = {0xFFFFFFFFu};  // roll 96: no wear
    change(*player_, [](auto& s) { s.level = -1; });
    EXPECT_EQ(player_->getStatus().getLevel(), 5);
    EXPECT_EQ(data_->getEquippedAmuletItem(), amulet);
    // Without a worn-out kind the amulet stays.
    context_.scripted.draws = {0};
    change(*player_, [](auto& s) { s.level = -1; });
    EXPECT_EQ(data_->getEquippedAmuletItem(), amulet);

    Fenwarrow::Item::CItemFactory factory(context_);
    factory.addItemInfo(CDamageCalculator::kWornAmuletItem, u"Item/Amulet/AMU20/");
    context_.itemFactory = &factory;
    const int32_t index = player_->findItem(amulet.get());
    context_.scripted.draws = {0};
    change(*player_, [](auto& s) { s.level = -1; });
    EXPECT_EQ(player_->getStatus().getLevel(), 5);
    const auto worn = data_->getEquippedAmuletItem();
    ASSERT_NE(worn, nullptr);
    EXPECT_EQ(worn->getItemID(), CDamageCalculator::kWornAmuletItem);
    EXPECT_EQ(player_->findItem(worn.get()), index);
    EXPECT_EQ(player_->findItem(amulet.get()), -1);
    EXPECT_EQ(data_->getEquippedWeaponItem(), sword);
    EXPECT_EQ(data_->getEquippedShieldItem(), shield);
}

TEST_F(Damage, AScapegoatTakesWhatWasMeantForAnother) {
    auto goat = addEnemy({3, 2});
    goat->getStatus().setStabilityState(CDamageCalculator::kScapegoatBit, true);
    CDamageParam& param = CDamageCalculator::of(*player_).getParam();
    param.clear();
    param.kind = CDamageParam::kFixed;
    param.fixedValue = -12.0f;
    run(*player_);
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 100.0f);
    const CDamageParam& taken = CDamageCalculator::of(*goat).getParam();
    EXPECT_EQ(taken.kind, CDamageParam::kFixed);
    EXPECT_FLOAT_EQ(taken.fixedValue, -12.0f);
    EXPECT_EQ(taken.originActor, player_.get());
    EXPECT_EQ(taken.damageName, u"呪詛返し");
    EXPECT_EQ(goat->damageEvents, 1);
}

TEST_F(Damage, ItemStatusChangesTheNamedItem) {
    auto sword = equip(CItem::kWeapon, {}, 5);
    sword->setName(u"どうの剣");
    auto change = [this, &sword](int32_t attack) {
        CDamageParam& param = CDamageCalculator::of(*player_).getParam();
        param.clear();
        param.kind = CDamageParam::kItemStatus;
        param.itemStatus.item = sword.get();
        param.itemStatus.attack = attack;
        return run(*player_);
    };
    EXPECT_TRUE(change(-2).isHit);
    EXPECT_EQ(sword->getStatus().getAttack(), 3);
    EXPECT_EQ(lines().back(), u"<0:COLOR>どうの剣</COLOR>は攻撃力が<1:COLOR>2</COLOR>下がった！");
    sword->getStatus().addAbility(CDamageCalculator::kAbilityWearProof);
    EXPECT_FALSE(change(-2).isHit);
    EXPECT_EQ(sword->getStatus().getAttack(), 3);
}

}  // namespace

namespace {

using namespace Fenwarrow::Actor;

// A drunk lands a blow on a roll of 20 or less (75 with sure aim), a shot as anyone would, and
// every blow it lands is critical.
TEST_F(Damage, ADrunkSeldomHitsButHitsHard) {
    struct Case {
        const char* what;
        bool playerAttacks;
        bool sureAim;
        int32_t kind;
        uint32_t roll;
        bool hit;
        float lifeAfter;
    } cases[] = {
        {"enemy, roll 20", false, false, CDamageParam::kBlow, ScriptedRandom::kRoll20, true, 80.0f},
        {"enemy, roll above 20", false, false, CDamageParam::kBlow, ScriptedRandom::kAbove20, false, 100.0f},
        {"player with sure aim, roll 75", true, true, CDamageParam::kBlow, ScriptedRandom::kRoll75, true, 90.0f},
        {"player with sure aim, above 75", true, true, CDamageParam::kBlow, ScriptedRandom::kAbove75, false, 100.0f},
        {"enemy's shot, roll 80", false, false, CDamageParam::kDanmaku, ScriptedRandom::kRoll80, true, 90.0f},
    };
    for (const Case& c : cases) {
        build();
        if (c.sureAim) {
            equip(CItem::kWeapon, {CDamageCalculator::kAbilitySureAim});
        }
        CActor& from = c.playerAttacks ? static_cast<CActor&>(*player_) : *enemy_;
        CActor& to = c.playerAttacks ? static_cast<CActor&>(*enemy_) : *player_;
        ASSERT_TRUE(from.getConditions()->addCondition(kConditionDrunken)) << c.what;
        CDamageParam& param = CDamageCalculator::of(to).getParam();
        param.clear();
        param.kind = c.kind;
        param.sourceType = CDamageParam::kSourceActor;
        param.originActor = &from;
        context_.scripted.draws = {c.roll};
        const auto& result = run(to);
        EXPECT_EQ(result.isHit, c.hit) << c.what;
        EXPECT_EQ(result.isCritical, c.hit) << c.what;
        EXPECT_FLOAT_EQ(to.getStatus().getLife(), c.lifeAfter) << c.what;
        if (c.hit && c.kind == CDamageParam::kBlow) {
            EXPECT_NE(std::find(lines().begin(), lines().end(), u"会心の一撃！"), lines().end()) << c.what;
        }
    }
}

// An invincible target is hit but loses nothing to blows, shots, explosions and fixed damage,
// and takes only gains of its numbers; its own hunger is the one loss it still feels.
TEST_F(Damage, AnInvincibleTargetOnlyGains) {
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionInvincible));
    context_.scripted.draws = {ScriptedRandom::kSure};
    const auto& struck = blow(*enemy_, *player_);
    EXPECT_TRUE(struck.isHit);
    EXPECT_FLOAT_EQ(struck.damage, 0.0f);
    EXPECT_EQ(lines().back(),
              u"<0:COLOR>ネズミ</COLOR>は<0:COLOR>旅人</COLOR>に<1:COLOR>0</COLOR>のダメージを与えた！");
    EXPECT_TRUE(queued_.empty());

    auto hit = [this](auto set) {
        CDamageParam& param = CDamageCalculator::of(*player_).getParam();
        param.clear();
        param.sourceType = CDamageParam::kSourceActor;
        param.originActor = enemy_.get();
        set(param);
        context_.scripted.draws = {ScriptedRandom::kSure};
        return run(*player_).isHit;
    };
    hit([](CDamageParam& p) { p.kind = CDamageParam::kDanmaku; });
    hit([](CDamageParam& p) { p.kind = CDamageParam::kExplosion; });
    hit([](CDamageParam& p) {
        p.kind = CDamageParam::kFixed;
        p.fixedValue = -30.0f;
    });
    hit([](CDamageParam& p) {
        p.kind = CDamageParam::kFixed;
        p.fixedKill = true;
    });
    EXPECT_FALSE(hit([](CDamageParam& p) {
        p.kind = CDamageParam::kActorStatus;
        p.actorStatus.life = -10.0f;
    }));
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 100.0f);
    EXPECT_TRUE(hit([](CDamageParam& p) {
        p.kind = CDamageParam::kActorStatus;
        p.actorStatus.maxLife = 10.0f;
    }));
    EXPECT_FLOAT_EQ(player_->getStatus().getMaxLife(), 110.0f);

    EXPECT_FALSE(hit([](CDamageParam& p) {
        p.kind = CDamageParam::kActorStatus;
        p.actorStatus.hungerPoint = -5.0f;
    }));
    EXPECT_FLOAT_EQ(player_->getStatus().getHungerPoint(), 100.0f);
    EXPECT_TRUE(hit([this](CDamageParam& p) {
        p.kind = CDamageParam::kActorStatus;
        p.originActor = player_.get();
        p.actorStatus.hungerPoint = -5.0f;
    }));
    EXPECT_FLOAT_EQ(player_->getStatus().getHungerPoint(), 95.0f);
}

// Condition damage puts the condition on and says so in the condition's own word; a condition
// already on, a number that names none, and (for an invincible target) any condition that does
// not help it change nothing; a scapegoat takes it instead of its target.
TEST_F(Damage, ConditionDamagePutsTheConditionOn) {
    auto inflict = [this](CActor& target, int32_t type) {
        CDamageParam& param = CDamageCalculator::of(target).getParam();
        param.clear();
        param.kind = CDamageParam::kCondition;
        param.sourceType = CDamageParam::kSourceActor;
        param.originActor = player_.get();
        param.conditionType = type;
        return run(target).isHit;
    };
    EXPECT_TRUE(inflict(*enemy_, kConditionConfusion));
    EXPECT_TRUE(enemy_->hasCondition(kConditionConfusion));
    EXPECT_EQ(lines().back(), u"<0:COLOR>ネズミ</COLOR>は混乱！");
    const std::size_t logged = lines().size();
    EXPECT_FALSE(inflict(*enemy_, kConditionConfusion));
    EXPECT_FALSE(inflict(*enemy_, 23));
    EXPECT_FALSE(inflict(*enemy_, -1));
    EXPECT_EQ(lines().size(), logged);
    EXPECT_TRUE(inflict(*enemy_, kConditionScapegoat));
    EXPECT_EQ(lines().back(), u"<0:COLOR>ネズミ</COLOR>は囮になった！");

    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionInvincible));
    EXPECT_FALSE(inflict(*player_, kConditionConfusion));
    EXPECT_FALSE(player_->hasCondition(kConditionConfusion));
    EXPECT_TRUE(inflict(*player_, kConditionStrong));
    EXPECT_TRUE(player_->hasCondition(kConditionStrong));

    auto scapegoat = addEnemy({0, 0});
    scapegoat->getStatus().setStabilityState(CDamageCalculator::kScapegoatBit, true);
    EXPECT_FALSE(inflict(*enemy_, kConditionBlind));
    EXPECT_FALSE(enemy_->hasCondition(kConditionBlind));
    EXPECT_EQ(scapegoat->damageEvents, 1);
    const CDamageParam& passed = CDamageCalculator::of(*scapegoat).getParam();
    EXPECT_EQ(passed.kind, CDamageParam::kCondition);
    EXPECT_EQ(passed.conditionType, kConditionBlind);
}

// A Mobbly fights and is hit in its own body: the player's weapon adds nothing to its blows and
// its shield guards nothing.
TEST_F(Damage, AMobblyFightsWithoutItsEquipment) {
    equip(CItem::kWeapon, {}, 4);
    equip(CItem::kShield, {}, 3);
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionMobbly));
    context_.scripted.draws = {ScriptedRandom::kSure};
    blow(*player_, *enemy_);
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 95.0f);
    context_.scripted.draws = {ScriptedRandom::kSure};
    blow(*enemy_, *player_);
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 90.0f);
}

}  // namespace
