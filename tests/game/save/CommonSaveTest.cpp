// The common save through real objects: every field round-trips, a file that cannot be read is
// set aside and never written over, and bad records fail the whole load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/condition/CConditionController.h"
#include "game/save/CGameSaveController.h"
#include "game/save/CGameSerializer.h"
#include "game/save/CSaveDataController.h"
#include "game/save/oldcondition/CConditionController.h"
#include "game/services/SettingRecords.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/save/SaveTestWorld.h"
#include "tools/savetool/SaveInspection.h"

namespace {

using Fenwarrow::CGameDataManager;
using Fenwarrow::CGameSaveController;
using Fenwarrow::CSaveDataController;
using Fenwarrow::Item::CItem;
using SaveTest::OxSerializer;

constexpr int32_t kSceneId = 7;
// Where the player's record starts in a body with an empty identification table.
constexpr std::size_t kPlayerOffset = 1024 + 4 * 1024 + 4 * 1024 + 3 * 5 * 2404 + 4 + 12 + 4;
constexpr std::size_t kMoneyOffset = 1024 + 4 * 1024 + 4 * 1024 + 3 * 5 * 2404;

class CommonSave : public ::testing::Test {
protected:
    CGameSaveController controller() { return CGameSaveController(world_.context, world_.settings, kSceneId); }
    CGameDataManager& data() { return *world_.gameData; }

    // Writes the serializer's bytes as a current-format "c000.bin".
    void writeBody(const std::vector<uint8_t>& body) {
        OxSerializer data;
        data.writeBlock(body.data(), body.size());
        CSaveDataController container;
        container.prepareHeader();
        ASSERT_TRUE(container.writeContainer(data, u"c000.bin"));
    }
    std::vector<uint8_t> savedBody() {
        OxSerializer data;
        EXPECT_TRUE(Fenwarrow::CGameSerializer(world_.context, world_.settings, kSceneId).serialize(data));
        return data.getBuffer();
    }

    void TearDown() override {
        worldHolder_.reset();
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_ = std::make_unique<Orvex::OxOrvexManager>();
    TempFolder folder_;
    std::unique_ptr<SaveTest::World> worldHolder_ = std::make_unique<SaveTest::World>(folder_);
    SaveTest::World& world_ = *worldHolder_;
};

TEST_F(CommonSave, EveryFieldComesBackAfterAReset) {
    CGameDataManager& d = data();
    d.setGlobalFlag(0, true);
    d.setGlobalFlag(1023, true);
    d.setGlobalInt(5, -77);
    d.setGlobalInt(1023, 123456);
    d.setGlobalFloat(9, 2.5f);
    Fenwarrow::CResultInfo record{};
    record.valid = 1;
    record.score = 999999;
    Fenwarrow::CResultInfo::setText(record.playerName, u"ふぇん");
    d.addRankingRecord(record);
    d.setPlayerMoney(4321);
    d.getUnidentifiedItems().insertOrAssign(2, {2, true, u"謎の壺", u"たぶん水"});
    d.getUnidentifiedItems().insertOrAssign(1, {1, false, u"A", u""});

    auto& player = *d.getPlayer();
    player.getStatus().setLevel(12);
    player.getStatus().setMaxLife(150.0f);
    player.getStatus().setLife(77.5f);
    player.getStatus().setCategory(3, true);
    player.getStatus().setStabilityState(4, true);
    player.setName(u"勇者");
    player.setVisible(false);
    player.setAnimationSpeed(1.5f);
    player.setTurnState(2);
    player.setActionsLeft(3);
    player.setJoinedThisRound(true);
    player.setMotionLock(1);
    player.restoreMotionRecord(u"Walk", true, true, false);
    player.getAnimation()->setFPS(24.0f);
    SaveTest::setMemo(player, 4242);
    auto sword = world_.item(1);
    sword->getStatus().setBaseAttack(3);
    sword->getStatus().setAttack(7);
    sword->getStatus().setSlotCount(4);
    sword->getStatus().addAbility(9);
    sword->getCategoryWeights()[5] = 0.25f;
    sword->setName(u"剣");
    player.addItem(sword);
    auto pot = world_.item(2);
    pot->pushItemIntoItemList(world_.item(1060));
    pot->getItemList().at(0)->getStatus().setUseIfTaken(true);  // listed anyway: kind 1060
    player.addItem(pot);
    auto trap = world_.item(1);
    trap->getStatus().setUseIfTaken(true);  // not listed: not saved
    player.addItem(trap);
    d.setEquippedWeaponIndex(0);
    d.getStorageItemList(0)->push_back(world_.item(1));
    d.getStorageItemList(13)->push_back(world_.item(2));
    Fenwarrow::setSettingText(world_.settings.getWorldMapSetting().nextDungeonScriptPath, u"Dungeon/X/001.lua");
    world_.settings.getResultSetting().lastFloorNumber = 9;

    ASSERT_TRUE(controller().saveCommonData());
    const auto settingsBefore = world_.settings.getWorldMapSetting();
    const auto resultBefore = world_.settings.getResultSetting();
    d.reset();
    world_.settings.resetSceneSettings();
    world_.settings.resetResultSetting();
    ASSERT_TRUE(controller().loadCommonData());

    EXPECT_TRUE(d.getGlobalFlag(0));
    EXPECT_TRUE(d.getGlobalFlag(1023));
    EXPECT_FALSE(d.getGlobalFlag(1));
    EXPECT_EQ(d.getGlobalInt(5), -77);
    EXPECT_EQ(d.getGlobalInt(1023), 123456);
    EXPECT_EQ(d.getGlobalInt(Fenwarrow::CGameSerializer::kSavedSceneInt), kSceneId);
    EXPECT_EQ(d.getGlobalFloat(9), 2.5f);
    EXPECT_EQ(d.getRankingByScore()[0].score, 999999);
    EXPECT_EQ(std::u16string(d.getRankingByScore()[0].playerName), u"ふぇん");
    EXPECT_EQ(d.getPlayerMoney(), 4321);
    ASSERT_NE(d.findUnidentifiedItemInfo(2), nullptr);
    EXPECT_TRUE(d.findUnidentifiedItemInfo(2)->unidentified);
    EXPECT_EQ(d.findUnidentifiedItemInfo(2)->name, u"謎の壺");
    EXPECT_EQ(d.findUnidentifiedItemInfo(2)->temporaryName, u"たぶん水");
    EXPECT_EQ(d.getUnidentifiedItems().count(), 2);

    const auto& back = *d.getPlayer();
    EXPECT_NE(&back, &player);
    EXPECT_EQ(back.getStatus().getLevel(), 12);
    EXPECT_EQ(back.getStatus().getMaxLife(), 150.0f);
    EXPECT_EQ(back.getStatus().getLife(), 77.5f);
    EXPECT_EQ(back.getStatus().getCategoryBits(), 1u << 3);
    EXPECT_EQ(back.getStatus().getStabilityBits(), 1u << 4);
    EXPECT_EQ(back.getName(), u"勇者");
    EXPECT_FALSE(back.isVisible());
    EXPECT_EQ(back.getAnimationSpeed(), 1.5f);
    EXPECT_EQ(back.getTurnState(), 2);
    EXPECT_EQ(const_cast<Fenwarrow::Actor::CPlayer&>(back).Fenwarrow::Dungeon::CTurn::getActionsLeft(), 3);
    EXPECT_TRUE(back.getJoinedThisRound());
    EXPECT_EQ(back.getMotionLock(), 1);
    EXPECT_EQ(back.getMotionName(), u"Walk");
    EXPECT_TRUE(back.getMotionKeepIfPlaying());
    EXPECT_TRUE(back.getMotionWithDirection());
    EXPECT_FALSE(back.getMotionLoop());
    EXPECT_EQ(back.getAnimation()->getFPS(), 24.0f);
    EXPECT_EQ(SaveTest::memoOf(back), 4242);
    ASSERT_EQ(back.getItemList().size(), 2u);
    const auto& sword2 = *back.getItemList().at(0);
    EXPECT_EQ(sword2.getName(), u"剣");
    EXPECT_EQ(sword2.getStatus().getAttack(), 7);
    EXPECT_EQ(sword2.getStatus().getBaseAttack(), 3);
    EXPECT_TRUE(sword2.getStatus().checkAbility(9));
    EXPECT_EQ(const_cast<CItem&>(sword2).getCategoryWeights()[5], 0.25f);
    const auto& pot2 = *back.getItemList().at(1);
    ASSERT_EQ(pot2.getItemList().size(), 1u);
    EXPECT_EQ(pot2.getItemList().at(0)->getItemID(), 1060u);
    EXPECT_EQ(pot2.getItemList().at(0)->getHolder(), &pot2);
    EXPECT_EQ(d.getEquippedWeaponItem().get(), &sword2);
    EXPECT_EQ(d.getStorageItemList(0)->size(), 1u);
    EXPECT_EQ(d.getStorageItemList(13)->size(), 1u);
    EXPECT_EQ(d.getStorageItemList(13)->at(0)->getItemID(), 2u);
    EXPECT_EQ(world_.settings.getWorldMapSetting(), settingsBefore);
    EXPECT_EQ(world_.settings.getResultSetting(), resultBefore);
}

TEST_F(CommonSave, MoneyAboveTheLimitIsLoadedAsTheLimit) {
    std::vector<uint8_t> body = savedBody();
    for (const uint32_t stored : {1000000u, 0xFFFFFFFFu}) {
        std::memcpy(&body[kMoneyOffset], &stored, 4);
        writeBody(body);
        ASSERT_TRUE(controller().loadCommonData()) << stored;
        EXPECT_EQ(data().getPlayerMoney(), 999999);
    }
}

// A damaged save is set aside, under a name no later failure takes, and the game data is as
// without a save; neither a load nor the next save destroys it.
TEST_F(CommonSave, AnUnreadableSaveIsSetAsideAndTheDataReset) {
    const std::vector<uint8_t> good = savedBody();
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        bool container;      // damage the file, not the body
        std::string reason;  // the check that refuses it, as the error line names it
    };
    const std::string player = " (body byte " + std::to_string(kPlayerOffset) + ")";
    const std::vector<Case> cases = {
        {"actor type 0", [](auto& b) { b[kPlayerOffset + 38] = 0; }, false,
         "the player's record cannot be read (its actor, items or script data)" + player},
        {"actor type 4", [](auto& b) { b[kPlayerOffset + 38] = 4; }, false, "the player's record"},
        {"short body", [](auto& b) { b.erase(b.end() - std::min<std::ptrdiff_t>(10, std::ssize(b)), b.end()); }, false,
         "the scene settings end early"},
        {"globals cut", [](auto& b) { b.resize(100); }, false,
         "the global flags, integers and reals end early (body byte 0)"},
        {"rankings cut", [](auto& b) { b.resize(kMoneyOffset - 100); }, false,
         "ranking record 14 ends early (body byte " + std::to_string(kMoneyOffset - 2404) + ")"},
        {"identification table too long", [](auto& b) { std::fill_n(b.begin() + kMoneyOffset + 16, 4, uint8_t{0xFF}); },
         false, "the identification table counts more entries than the body holds"},
        {"broken word pair", [](auto& f) { f[20] ^= 1; }, true, "the word pair at body byte 4 does not check"},
        {"unknown version", [](auto& f) { f[4] = 2 ^ 0xB5; }, true, "the header's version byte reads 2"},
        {"empty file", [](auto& f) { f.clear(); }, true, "the file is shorter than its 16-byte header (0 bytes)"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBody(good);
        if (c.container) {
            std::vector<uint8_t> file = folder_.readFile("c000.bin");
            c.damage(file);
            folder_.writeFile("c000.bin", file);
        } else {
            std::vector<uint8_t> body = good;
            c.damage(body);
            writeBody(body);
        }
        const std::vector<uint8_t> damaged = folder_.readFile("c000.bin");
        data().setPlayerMoney(55);
        data().setGlobalFlag(3, true);
        auto save = controller();
        EXPECT_FALSE(save.loadCommonData());
        EXPECT_NE(save.getLoadError().find(c.reason), std::string::npos) << save.getLoadError();
        const std::string aside = index == 0 ? "c000.bin.bad" : "c000.bin.bad" + std::to_string(index);
        EXPECT_EQ(save.getSetAsidePath(), Orvex::System::widen(aside));
        EXPECT_FALSE(std::filesystem::exists(folder_ / "c000.bin"));
        EXPECT_EQ(folder_.readFile(aside), damaged);
        EXPECT_EQ(data().getPlayerMoney(), 0);
        EXPECT_FALSE(data().getGlobalFlag(3));
        ASSERT_NE(data().getPlayer(), nullptr);
        ASSERT_TRUE(controller().saveCommonData());
        EXPECT_EQ(folder_.readFile(aside), damaged);
        ++index;
    }
}

TEST_F(CommonSave, AStoredItemTheFactoryDoesNotKnowFailsTheLoad) {
    data().getStorageItemList(4)->push_back(world_.item(2));
    ASSERT_TRUE(controller().saveCommonData());
    Fenwarrow::Item::CItemFactory without2(world_.context);
    without2.addItemInfo(1, u"Item/A/");
    world_.context.itemFactory = &without2;
    EXPECT_FALSE(controller().loadCommonData());
    EXPECT_TRUE(std::filesystem::exists(folder_ / "c000.bin.bad"));
    EXPECT_EQ(data().getStorageItemList(4)->size(), 0u);
    world_.context.itemFactory = &world_.factory;
}

// The game's real condition set on the player, every condition in a state of its own: the set
// comes back whole, and the carried items written after it in the actor's record still read.
TEST_F(CommonSave, ThePlayersConditionsComeBackWithTheRealConditionSet) {
    using Fenwarrow::Actor::Condition::CConditionController;
    world_.context.makeConditions = [](Fenwarrow::Actor::CActor& actor) {
        return std::make_unique<CConditionController>(actor);
    };
    CGameDataManager& d = data();
    d.reset();  // a player made with its condition set
    const auto image = [](CConditionController& set) {
        OxSerializer bytes;
        EXPECT_TRUE(set.serialize(bytes));
        return bytes.getBuffer();
    };
    auto* conditions = dynamic_cast<CConditionController*>(d.getPlayer()->getConditions());
    ASSERT_NE(conditions, nullptr);
    const std::vector<uint8_t> fresh = image(*conditions);
    for (int32_t type = 0; type < Fenwarrow::Actor::kConditionTypeCount; ++type) {
        Fenwarrow::Actor::Condition::CConditionBase* condition = conditions->getCondition(type);
        condition->setMayAct(type % 3 != 0);
        if (auto* counting = dynamic_cast<Fenwarrow::Actor::Condition::CCountingCondition*>(condition)) {
            counting->setCounter(type + 2);
        }
    }
    const std::vector<uint8_t> before = image(*conditions);
    ASSERT_NE(before, fresh);
    auto sword = world_.item(1);
    sword->setName(u"剣");
    d.getPlayer()->addItem(sword);
    d.getStorageItemList(13)->push_back(world_.item(2));

    ASSERT_TRUE(controller().saveCommonData());
    d.reset();
    auto* reset = dynamic_cast<CConditionController*>(d.getPlayer()->getConditions());
    ASSERT_NE(reset, nullptr);
    ASSERT_EQ(image(*reset), fresh);
    ASSERT_TRUE(controller().loadCommonData());

    auto* back = dynamic_cast<CConditionController*>(d.getPlayer()->getConditions());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(image(*back), before);
    for (int32_t type = 0; type < Fenwarrow::Actor::kConditionTypeCount; ++type) {
        const auto* counting =
            dynamic_cast<const Fenwarrow::Actor::Condition::CCountingCondition*>(back->getCondition(type));
        if (counting != nullptr) {
            EXPECT_TRUE(back->isCondition(type)) << type;
            EXPECT_EQ(counting->getCounter(), type + 2) << type;
        }
        EXPECT_EQ(back->getCondition(type)->getMayAct(), type % 3 != 0) << type;
    }
    ASSERT_EQ(d.getPlayer()->getItemList().size(), 1u);
    EXPECT_EQ(d.getPlayer()->getItemList().at(0)->getName(), u"剣");
    ASSERT_EQ(d.getStorageItemList(13)->size(), 1u);
    EXPECT_EQ(d.getStorageItemList(13)->at(0)->getItemID(), 2u);
}

TEST_F(CommonSave, NoSaveIsNoFailureToReport) {
    auto save = controller();
    EXPECT_FALSE(save.loadCommonData());
    EXPECT_TRUE(save.getSetAsidePath().empty());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "c000.bin.bad"));
}

}  // namespace

namespace {

using Fenwarrow::Actor::OldCondition::CConditionController;

TEST_F(CommonSave, AnOldSaveMigratesAndIsWrittenBackInTheCurrentFormat) {
    Orvex::Tools::SaveTool::OldSample sample;
    sample.playerItems = {1, 2};
    sample.storage = {{3, 2}, {3, 1}, {13, 1060}};
    sample.weaponIndex = 1;
    sample.playerScriptData = {4242};
    folder_.writeFile("c000.bin", Orvex::Tools::SaveTool::makeOldSample(sample));
    auto& result = world_.settings.getResultSetting();
    result.flags[0] = 9;  // not in the old record: kept
    Fenwarrow::setSettingText(result.damageName, std::u16string(200, u'x'));

    ASSERT_TRUE(controller().loadCommonData());
    CGameDataManager& d = data();
    EXPECT_TRUE(d.getGlobalFlag(0));
    EXPECT_TRUE(d.getGlobalFlag(100));
    EXPECT_EQ(d.getGlobalInt(20), 42);
    EXPECT_EQ(d.getGlobalFloat(3), 0.5f);
    EXPECT_EQ(d.getPlayerMoney(), 1234567);  // the old format's money is taken as stored
    ASSERT_NE(d.getPlayer(), nullptr);
    EXPECT_EQ(d.getPlayer()->getStatus().getLevel(), 3);
    EXPECT_EQ(d.getPlayer()->getStatus().getLife(), 25.0f);
    EXPECT_EQ(SaveTest::memoOf(*d.getPlayer()), 4242);
    ASSERT_EQ(d.getPlayer()->getItemList().size(), 2u);
    EXPECT_EQ(d.getEquippedWeaponItem(), d.getPlayer()->getItemList().at(1));
    EXPECT_EQ(d.getStorageItemList(3)->size(), 2u);
    EXPECT_EQ(d.getStorageItemList(13)->size(), 1u);
    // No rankings and no identification table in the old body: as a reset leaves them.
    SaveTest::World fresh(folder_);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(std::memcmp(&d.getRankingByScore()[i], &fresh.gameData->getRankingByScore()[i],
                              sizeof(Fenwarrow::CResultInfo)),
                  0);
    }
    EXPECT_EQ(d.getUnidentifiedItems().count(), 0);
    EXPECT_EQ(Fenwarrow::getSettingText(world_.settings.getWorldMapSetting().nextDungeonScriptPath),
              u"Dungeon/DEMO10/00/00/001.lua");
    EXPECT_EQ(Fenwarrow::getSettingText(result.lastFloorName), u"はじまりの洞窟");
    EXPECT_EQ(result.lastFloorNumber, 4);
    EXPECT_EQ(result.flags[2], 1);  // the old record's second flag
    EXPECT_EQ(result.flags[0], 9);
    EXPECT_EQ(Fenwarrow::getSettingText(result.damageName), u"");  // the old text's half replaced it
    EXPECT_EQ(result.damageName[130], u'x');                       // the second half stays

    ASSERT_TRUE(controller().saveCommonData());
    const std::vector<uint8_t> file = folder_.readFile("c000.bin");
    ASSERT_GT(file.size(), 16u);
    EXPECT_EQ(file[4] ^ 0xB5, 1);
    d.reset();
    ASSERT_TRUE(controller().loadCommonData());
    EXPECT_EQ(d.getGlobalInt(20), 42);
    EXPECT_EQ(d.getPlayerMoney(), 999999);
    EXPECT_EQ(d.getStorageItemList(3)->size(), 2u);
}

TEST_F(CommonSave, AnOldSaveThatCannotBeReadIsSetAsideToo) {
    Orvex::Tools::SaveTool::OldSample sample;
    sample.playerScriptData = {1};
    const std::vector<uint8_t> good = Orvex::Tools::SaveTool::makeOldSample(sample);
    const struct {
        std::size_t keep;
        const char* reason;
    } cases[] = {
        {10, "the file is shorter than its 16-byte header (10 bytes)"},
        {16, "old format: the global flags, integers and reals end early (file byte 16)"},
        {good.size() / 2, "old format: "},
    };
    for (const auto& [keep, reason] : cases) {
        SCOPED_TRACE(keep);
        folder_.writeFile("c000.bin", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(keep)));
        auto save = controller();
        EXPECT_FALSE(save.loadCommonData());
        EXPECT_NE(save.getLoadError().find(reason), std::string::npos) << save.getLoadError();
        EXPECT_FALSE(save.getSetAsidePath().empty());
        EXPECT_FALSE(std::filesystem::exists(folder_ / "c000.bin"));
    }
}

// The old condition record has one length whatever its flags and counters say, and reading it
// touches nothing but the old objects.
TEST(OldConditions, TheRecordHasOneLengthWhateverItHolds) {
    for (const uint8_t fill : {uint8_t{0}, uint8_t{1}, uint8_t{0xFF}}) {
        OxSerializer data;
        const std::vector<uint8_t> bytes(CConditionController::kRecordBytes + 4, fill);
        data.writeBlock(bytes.data(), bytes.size());
        data.setWriting(false);
        CConditionController conditions(nullptr);
        ASSERT_TRUE(conditions.serialize(data));
        EXPECT_EQ(data.getPosition(), CConditionController::kRecordBytes);
        OxSerializer written;
        conditions.serialize(written);
        EXPECT_EQ(written.getBuffer().size(), CConditionController::kRecordBytes);
    }
    OxSerializer shortRecord;
    shortRecord.writeBlock(std::vector<uint8_t>(94).data(), 94);
    shortRecord.setWriting(false);
    EXPECT_FALSE(CConditionController(nullptr).serialize(shortRecord));
}

}  // namespace
