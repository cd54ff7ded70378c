#include "game/gamedata/CGameDataManager.h"

#include <atomic>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "tests/game/shell/GameDataFixture.h"

namespace {

using Fenwarrow::CGameDataManager;
using Fenwarrow::CResultInfo;
using Fenwarrow::Item::CItem;

using GameData = GameTest::GameDataFixture;

TEST_F(GameData, CreatesThePlayerFromItsTwoScripts) {
    auto player = data_->getPlayer();
    EXPECT_EQ(player->getName(), u"旅人");
    EXPECT_EQ(player->getActorID(), 7);  // "setup" ran first, then "Actor.initialize"
    EXPECT_TRUE(player->isSetup());
    EXPECT_EQ(player->getActorDirectory(), u"Actor/Player/HERO/");
    EXPECT_EQ(player->getActorType(), Fenwarrow::Actor::CActor::kPlayer);
}

TEST(GameDataWithoutModules, FailedPlayerSetUpLeavesNoPlayer) {
    TempFolder folder;
    GameTest::TestGameContext context;
    ScriptTest::openArchive(folder, context.reader,
                            {{u"Actor/Player/HERO/setup.lua.lcd", GameTest::dataChunk("player_setup"), false},
                             {u"Actor/Player/HERO/actor.lua.lcd", GameTest::dataChunk("player_actor"), false}});
    CGameDataManager data(context);
    EXPECT_EQ(data.getPlayer(), nullptr);
    EXPECT_EQ(data.removePlayerItem(nullptr), nullptr);
    EXPECT_EQ(data.getEquippedWeaponItem(), nullptr);
}

TEST_F(GameData, GlobalIndicesOutsideTheArraysReadZeroAndWriteNothing) {
    for (int32_t index : {-1, 1024, INT32_MIN, INT32_MAX}) {
        data_->setGlobalFlag(index, true);
        data_->setGlobalInt(index, 77);
        data_->setGlobalFloat(index, 7.5f);
        EXPECT_FALSE(data_->getGlobalFlag(index)) << index;
        EXPECT_EQ(data_->getGlobalInt(index), 0) << index;
        EXPECT_EQ(data_->getGlobalFloat(index), 0.0f) << index;
    }
    EXPECT_EQ(data_->getGlobalInt(0), 0);
    EXPECT_EQ(data_->getGlobalInt(1023), 0);
    data_->setGlobalInt(1023, 5);
    data_->setGlobalFlag(15, true);
    EXPECT_EQ(data_->getGlobalInt(1023), 5);
    EXPECT_TRUE(data_->getGlobalFlag(15));
    EXPECT_EQ(data_->getStorageItemList(14), nullptr);
    EXPECT_EQ(data_->getStorageItemList(-1), nullptr);
}

TEST_F(GameData, MoneyIsCappedAboveOnly) {
    data_->setPlayerMoney(1500000);
    EXPECT_EQ(data_->getPlayerMoney(), 999999);
    data_->setPlayerMoney(-5);
    EXPECT_EQ(data_->getPlayerMoney(), -5);
}

CResultInfo record(int32_t score, float time, int32_t turns, bool cleared) {
    CResultInfo info{};
    info.valid = 1;
    info.score = score;
    info.playTime = time;
    info.turnCount = turns;
    info.cleared = cleared ? 1 : 0;
    return info;
}

TEST_F(GameData, RankingsKeepTheFiveBestInStableOrder) {
    const auto& byScore = data_->getRankingByScore();
    for (const CResultInfo& entry : byScore) {
        ASSERT_EQ(entry.valid, 1);  // the sample records fill every list
    }
    const int32_t fifth = byScore[4].score;
    CResultInfo equal = record(fifth, 1.0f, 1, false);
    Fenwarrow::CResultInfo::setText(equal.playerName, u"後から");
    data_->addRankingRecord(equal);
    EXPECT_NE(std::u16string(byScore[4].playerName), u"後から");
    const auto timesBefore = data_->getRankingByTime();

    data_->addRankingRecord(record(byScore[0].score + 1, 1.0f, 1, false));
    EXPECT_EQ(byScore[0].score, byScore[1].score + 1);
    EXPECT_NE(byScore[4].score, fifth);
    // Not cleared: the time and turn lists stay as they were.
    EXPECT_EQ(std::memcmp(timesBefore.data(), data_->getRankingByTime().data(), sizeof(CResultInfo) * 5), 0);

    data_->addRankingRecord(record(0, 0.5f, 2, true));
    EXPECT_EQ(data_->getRankingByTime()[0].playTime, 0.5f);
    EXPECT_EQ(data_->getRankingByTurns()[0].turnCount, 2);
}

TEST_F(GameData, EquipmentFollowsTheListAsItShifts) {
    auto first = carry(CItem::kDrug, u"薬");
    carry(CItem::kShield, u"盾");
    auto amulet = carry(CItem::kAmulet, u"守");
    auto weapon = carry(CItem::kWeapon, u"剣");
    auto stranger = make(CItem::kWeapon, u"他");

    EXPECT_EQ(data_->setEquippedWeaponItem(first.get()), -1);     // wrong category
    EXPECT_EQ(data_->setEquippedWeaponItem(stranger.get()), -1);  // not carried
    EXPECT_EQ(data_->getEquippedWeaponIndex(), -1);
    EXPECT_EQ(data_->setEquippedWeaponItem(weapon.get()), 3);
    EXPECT_EQ(data_->setEquippedAmuletItem(amulet.get()), 2);

    EXPECT_EQ(data_->removePlayerItem(first.get()), first);
    EXPECT_EQ(data_->getEquippedWeaponIndex(), 2);
    EXPECT_EQ(data_->getEquippedWeaponItem(), weapon);
    EXPECT_EQ(data_->getEquippedAmuletIndex(), 1);

    // Removing the equipped weapon unequips it.
    EXPECT_EQ(data_->removePlayerItem(weapon.get()), weapon);
    EXPECT_EQ(data_->getEquippedWeaponIndex(), -1);
    EXPECT_EQ(data_->getEquippedAmuletItem(), amulet);
    EXPECT_EQ(data_->removePlayerItem(stranger.get()), nullptr);

    EXPECT_EQ(data_->setEquippedAmuletItem(nullptr), -1);
    EXPECT_EQ(data_->getEquippedAmuletIndex(), -1);
    // An index past the list reads as nothing equipped.
    data_->setEquippedShieldIndex(10);
    EXPECT_EQ(data_->getEquippedShieldItem(), nullptr);
}

TEST_F(GameData, ItemsMoveBetweenPlayerAndStorage) {
    auto herb = carry(CItem::kDrug, u"薬");
    data_->dropPlayerItem(herb.get());
    EXPECT_EQ(data_->getPlayer()->findItem(herb.get()), -1);
    ASSERT_EQ(data_->getStorageItemList(CItem::kDrug)->size(), 1u);

    data_->storageItemToPlayer(herb.get());
    EXPECT_EQ(data_->getStorageItemList(CItem::kDrug)->size(), 0u);
    EXPECT_EQ(data_->getPlayer()->findItem(herb.get()), 0);
    EXPECT_EQ(data_->removeStorageItem(herb.get()), nullptr);

    data_->setPlayerMoney(300);
    data_->setEquippedWeaponIndex(0);
    data_->clearPlayerBelongings();
    EXPECT_TRUE(data_->getPlayer()->getItemList().empty());
    EXPECT_EQ(data_->getPlayerMoney(), 0);
    EXPECT_EQ(data_->getEquippedWeaponIndex(), -1);
}

TEST_F(GameData, SortingPutsEquipmentFirstThenCategoriesByName) {
    auto drugB = carry(CItem::kDrug, u"b");
    auto weaponA = carry(CItem::kWeapon, u"a");
    auto weaponZ = carry(CItem::kWeapon, u"z");
    auto drugA = carry(CItem::kDrug, u"a");
    auto shield = carry(CItem::kShield, u"y");
    auto amulet = carry(CItem::kAmulet, u"x");
    ASSERT_GE(data_->setEquippedWeaponItem(weaponZ.get()), 0);
    ASSERT_GE(data_->setEquippedShieldItem(shield.get()), 0);
    ASSERT_GE(data_->setEquippedAmuletItem(amulet.get()), 0);

    data_->sortPlayerItems();
    const auto& list = data_->getPlayer()->getItemList();
    const std::vector<std::shared_ptr<CItem>> expected = {shield, weaponZ, amulet, weaponA, drugA, drugB};
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.at(i), expected[i]) << i;
    }
    EXPECT_EQ(data_->getEquippedShieldIndex(), 0);
    EXPECT_EQ(data_->getEquippedWeaponIndex(), 1);
    EXPECT_EQ(data_->getEquippedAmuletIndex(), 2);
}

TEST_F(GameData, MusicRestartsOnlyWhenForcedOrChanged) {
    EXPECT_TRUE(data_->playBGM(u"BGM/bgm001.ogg", false));
    auto first = data_->getBGMInfo().source;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(data_->playBGM(u"BGM/bgm001.ogg", false));
    EXPECT_EQ(data_->getBGMInfo().source, first);
    EXPECT_TRUE(data_->playBGM(u"BGM/bgm001.ogg", true));
    EXPECT_NE(data_->getBGMInfo().source, first);
    data_->stopBGM();
    EXPECT_TRUE(data_->getBGMInfo().path.empty());
    EXPECT_EQ(data_->getBGMInfo().source, nullptr);
}

}  // namespace

namespace {

// The floor worker changes the music during a set-up while the game thread looks at the playing
// source every frame (to pause it under a system sound). Without the record's lock the source
// pointer is copied while it is being replaced and released.
TEST_F(GameData, MusicChangedOnAWorkerWhileTheGameThreadReadsIt) {
    constexpr int kChanges = 3000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kChanges; ++i) {
            data_->playBGM(i % 2 == 0 ? u"BGM/bgm001.ogg" : u"BGM/bgm002.ogg", i % 3 == 0);
            if (i % 7 == 0) {
                data_->stopBGM();
            }
        }
        done.store(true);
    });
    while (!done.load()) {
        if (const auto source = data_->getBGMSource()) {
            source->getState();
        }
    }
    worker.join();
    data_->playBGM(u"BGM/bgm003.ogg", false);
    ASSERT_NE(data_->getBGMSource(), nullptr);
    EXPECT_EQ(data_->getBGMInfo().path, u"BGM/bgm003.ogg");
}

}  // namespace
