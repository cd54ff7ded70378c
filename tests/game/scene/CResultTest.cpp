#include "game/scene/CResult.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "game/actor/CPlayer.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/item/CItem.h"
#include "game/item/CUnidentifiedItemInfo.h"
#include "game/replay/CReplayController.h"
#include "game/save/CGameSaveController.h"
#include "engine/system/OxStringConvert.h"
#include "game/scene/ResultRecord.h"
#include "tests/game/replay/ReplayTestSupport.h"
#include "tests/game/scene/QuietWindows.h"
#include "tests/game/scene/SceneTestContext.h"
#include "game/services/SettingRecords.h"
#include "tests/game/shell/GameDataFixture.h"

namespace {

using Fenwarrow::CResultInfo;
using Fenwarrow::Scene::CResult;

class ResultScene : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, scene_.game.reader,
                                {{u"Actor/Player/HERO/setup.lua.lcd", GameTest::dataChunk("player_setup"), false},
                                 {u"Actor/Player/HERO/actor.lua.lcd", GameTest::dataChunk("player_actor"), false}});
        scene_.game.provideAllModules();
        scene_.game.factories[Fenwarrow::ScriptModule::kActor] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Actor", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"setName", &GameTest::actorSetName},
                                                                               {"setActorID", &GameTest::actorSetID}});
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(scene_.game);
        scene_.game.gameData = data_.get();
        ASSERT_NE(data_->getPlayer(), nullptr);
        scene_.keys.bind(5, 99, 0);
    }

    CResult::Services services(Fenwarrow::Replay::CReplayController* replay = nullptr) {
        CResult::Services made;
        made.replay = replay;
        made.windows = std::make_shared<SceneTest::QuietWindows>();
        made.saveCommonData = [this] {
            ++saves_;
            return true;
        };
        made.frameTime = [] { return 1.0f / 60.0f; };
        return made;
    }

    void carry(int32_t price) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(scene_.game, 100);
        item->getStatus().setPrice(price);
        data_->getPlayer()->addItem(item);
    }

    // One update with key 5 pushed in it.
    void pushOnce(CResult& result) {
        scene_.keys.swapBuffers();
        scene_.keys.setDown(5, true);
        result.update();
        scene_.keys.swapBuffers();
        scene_.keys.setDown(5, false);
    }

    Fenwarrow::CResultSetting& setting() { return scene_.settingData.getResultSetting(); }

    TempFolder folder_;
    SceneTest::SceneTestContext scene_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    int saves_ = 0;
};

TEST_F(ResultScene, AKilledDiveIsFiledShownAfterTheSlideAndResetsThePlayer) {
    Fenwarrow::CResultSetting& result = setting();
    result.lastFloorNumber = 0;  // the floor-0 ending: a score below zero
    Fenwarrow::setSettingText(result.damageSourceName, u"<1:COLOR></COLOR>");
    data_->setPlayerMoney(300);
    carry(40);
    const int32_t topBefore = data_->getRankingByScore()[0].score;

    CResult scene(scene_, services());
    const CResultInfo& record = scene.getRecord();
    EXPECT_EQ(record.valid, 1);
    EXPECT_EQ(record.score, -5000 + 300 + 40);
    EXPECT_EQ(record.money, 300);
    EXPECT_EQ(data_->getRankingByScore()[0].score, topBefore) << "a negative score never tops the ranking";
    EXPECT_NE(scene.getResultWindow()->text.find(u"腹ぺこで倒れた。"), std::u16string::npos);
    EXPECT_EQ(scene.getResultWindow()->text.find(u"F"), std::u16string::npos);

    ASSERT_TRUE(scene.initialize());
    for (int i = 0; i < 120; ++i) {
        scene.update();
    }
    EXPECT_EQ(scene.getScrollOffset(), 0.0f);
    EXPECT_EQ(scene.getState(), CResult::kStateSliding);
    EXPECT_EQ(scene.getStatusWindow()->y, 200.0f);
    scene.update();
    EXPECT_EQ(scene.getState(), CResult::kStateShown);
    for (int i = 0; i < 30; ++i) {
        scene.update();
    }
    EXPECT_EQ(scene.getState(), CResult::kStateShown);
    pushOnce(scene);
    EXPECT_EQ(scene.getState(), CResult::kStateLeaving);  // nothing recorded: no question

    ASSERT_TRUE(scene.finalize());
    EXPECT_EQ(saves_, 1);
    EXPECT_EQ(data_->getPlayerMoney(), 0);
    EXPECT_TRUE(data_->getPlayer()->getItemList().empty());
    EXPECT_EQ(scene_.settingData.getWorldMapSetting().bootMode, 1u);
}

TEST_F(ResultScene, ReturnedKeepsTheItemsButNotTheMoneyAndAClearKeepsBoth) {
    struct Case {
        std::size_t flag;
        int32_t money;
    };
    for (const Case entry : {Case{Fenwarrow::kResultReturned, 0}, Case{Fenwarrow::kResultR30Cleared, 250}}) {
        scene_.settingData.resetResultSetting();
        setting().flags[entry.flag] = 1;
        setting().lastFloorNumber = 3;
        data_->setPlayerMoney(250);
        data_->getPlayer()->getItemList().clear();
        carry(10);
        CResult scene(scene_, services());
        ASSERT_TRUE(scene.finalize());
        EXPECT_EQ(data_->getPlayerMoney(), entry.money);
        EXPECT_EQ(data_->getPlayer()->getItemList().size(), 1u);
    }
}

TEST_F(ResultScene, FromTheExtrasItShowsAStoredRankingAndKeepsNoBooks) {
    setting().nextScene = 11;
    setting().rankingIndex = 6;  // the second record of the time list
    const CResultInfo& stored = data_->getRankingByTime()[1];
    const Fenwarrow::CGameDataManager::Ranking scoresBefore = data_->getRankingByScore();

    CResult scene(scene_, services());
    EXPECT_TRUE(scene.isViewOnly());
    EXPECT_EQ(std::memcmp(&scene.getRecord(), &stored, sizeof stored), 0);
    EXPECT_EQ(scene.getScrollOffset(), 0.0f);
    ASSERT_TRUE(scene.initialize());
    ASSERT_TRUE(scene.finalize());
    EXPECT_EQ(saves_, 0);
    EXPECT_EQ(std::memcmp(&data_->getRankingByScore(), &scoresBefore, sizeof scoresBefore), 0);  // nothing filed

    // An index outside the fifteen records shows an empty record instead of reading elsewhere.
    for (uint32_t index : {15u, Fenwarrow::kNoRankingRecord}) {
        setting().rankingIndex = index;
        CResult outside(scene_, services());
        EXPECT_EQ(outside.getRecord().valid, 0);
    }
}

TEST_F(ResultScene, ARecordedDiveAsksAboutTheReplayAndNoKeepsIt) {
    ReplayTestGame game;
    Fenwarrow::Replay::CReplayController replay(game);
    replay.setMode(Fenwarrow::Replay::CReplayController::kModeRecording);
    setting().lastFloorNumber = 2;
    CResult scene(scene_, services(&replay));
    EXPECT_EQ(std::memcmp(&replay.getInfo()->getResult(), &scene.getRecord(), sizeof(CResultInfo)), 0);
    pushOnce(scene);  // ends the slide at once
    EXPECT_EQ(scene.getState(), CResult::kStateShown);
    pushOnce(scene);
    EXPECT_EQ(scene.getState(), CResult::kStateAsking);
    const auto no = scene.getReplayPrompt()->getListItem(1);
    no->callback(no.get(), 1);
    EXPECT_FALSE(scene.getSaveReplay());
    pushOnce(scene);
    EXPECT_EQ(scene.getState(), CResult::kStateLeaving);
}

// Runs the test body with the working folder (where the game writes "Replay/") set to `folder`.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder) : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(before_); }

private:
    std::filesystem::path before_;
};

// The chunks of the run stay on disk until its replay is written, or until the player declines it.
TEST_F(ResultScene, AKeptReplayIsClearedOnlyOnceItIsWrittenAndItsChunksGoOnlyThen) {
    const struct {
        bool writable;
        bool keep;
        bool replayWritten;
        bool chunksLeft;
    } cases[] = {{true, true, true, false}, {false, true, false, true}, {true, false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "writable " << c.writable << ", keep " << c.keep);
        TempFolder work;
        if (!c.writable) {
            std::ofstream(work / "Replay") << "a file where the folder would go";
        }
        WorkingFolder inside(work.path());
        ReplayTestGame game;
        Fenwarrow::Replay::CReplayController replay(game);
        replay.setMode(Fenwarrow::Replay::CReplayController::kModeRecording);
        for (uint32_t step = 0; step < Fenwarrow::Replay::CReplayController::kFramesPerChunk + 5; ++step) {
            game.advance(busyPattern);
            replay.update();
        }
        ASSERT_TRUE(std::filesystem::exists(work / "Temp" / "replay000000.tmp"));
        setting().lastFloorNumber = 2;
        CResult scene(scene_, services(&replay));
        ASSERT_TRUE(scene.getSaveReplay());
        if (!c.keep) {
            const auto no = scene.getReplayPrompt()->getListItem(1);
            no->callback(no.get(), 1);
        }
        ASSERT_TRUE(scene.finalize());
        if (c.keep) {
            EXPECT_EQ(replay.getInfo() == nullptr, c.writable) << "cleared only after a successful write";
        }
        EXPECT_EQ(std::filesystem::is_directory(work / "Replay") && !std::filesystem::is_empty(work / "Replay"),
                  c.replayWritten);
        EXPECT_EQ(std::filesystem::exists(work / "Temp" / "replay000000.tmp"), c.chunksLeft);
    }
}

// The common save after the result cannot be written: "c000.bin" is taken by a folder, or the
// finished file's own name is. The result still ends and says on the error output what was not
// written; the earlier save and the obstacle stay as they were, and the dive stays filed, so the
// next save that can be written keeps it.
TEST_F(ResultScene, ACommonSaveThatCannotBeWrittenIsToldAndLosesNothing) {
    namespace fs = std::filesystem;
    for (const char* obstacle : {"c000.bin", "c000.bin.new"}) {
        SCOPED_TRACE(obstacle);
        TempFolder work;
        WorkingFolder inside(work.path());
        const auto save = [this] {
            return Fenwarrow::CGameSaveController(scene_.game, scene_.settingData, 10).saveCommonData();
        };
        std::string before;
        if (std::string(obstacle) != "c000.bin") {
            ASSERT_TRUE(save());
            std::ifstream in(work / "c000.bin", std::ios::binary);
            before.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            ASSERT_FALSE(before.empty());
        }
        fs::create_directory(work / obstacle);
        std::ofstream(work / obstacle / "kept") << "not the game's";

        setting().lastFloorNumber = 250;  // a score above every stored one
        CResult::Services withSave = services();
        int attempts = 0;
        withSave.saveCommonData = [&] {
            ++attempts;
            return save();
        };
        CResult scene(scene_, std::move(withSave));
        const int32_t score = scene.getRecord().score;
        ASSERT_EQ(data_->getRankingByScore()[0].score, score);
        ASSERT_TRUE(scene.initialize());
        testing::internal::CaptureStderr();
        const bool finished = scene.finalize();
        const std::string errors = testing::internal::GetCapturedStderr();

        EXPECT_TRUE(finished);
        EXPECT_EQ(attempts, 1);
        EXPECT_NE(errors.find("c000.bin: the common save after the result was not written"), std::string::npos)
            << errors;
        EXPECT_TRUE(fs::exists(work / obstacle / "kept"));
        if (std::string(obstacle) == "c000.bin") {
            EXPECT_FALSE(fs::exists(work / "c000.bin.new")) << "no half-done file is left behind";
        }
        if (!before.empty()) {
            std::ifstream in(work / "c000.bin", std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), before)
                << "the earlier save is untouched";
        }
        EXPECT_EQ(data_->getRankingByScore()[0].score, score);

        // Once the way is clear, the next save holds the dive: read back into reset data, it
        // tops the ranking again.
        fs::remove_all(work / obstacle);
        ASSERT_TRUE(save());
        data_->reset();
        ASSERT_NE(data_->getRankingByScore()[0].score, score);
        ASSERT_TRUE(Fenwarrow::CGameSaveController(scene_.game, scene_.settingData, 10).loadCommonData());
        EXPECT_EQ(data_->getRankingByScore()[0].score, score);
        data_->reset();
    }
}

// The dive's equipment is told in full, with the icon the inventory shows: the kind is
// identified, the weapon's own hidden strength shows, a cursed shield shows as cursed.
TEST_F(ResultScene, TheEquipmentIsToldInFullWithItsIcon) {
    auto weapon = std::make_shared<Fenwarrow::Item::CItem>(scene_.game, 100);
    weapon->setItemType(Fenwarrow::Item::CItem::kWeapon);
    weapon->setName(u"どうの剣");
    weapon->getStatus().setBaseAttack(4);
    weapon->getStatus().setAttack(7);
    weapon->getStatus().setUnidentified(true);
    Fenwarrow::Item::CUnidentifiedItemInfo unknown;
    unknown.itemId = 100;
    unknown.unidentified = true;
    unknown.name = u"あやしい剣";
    data_->getUnidentifiedItems().insertOrAssign(100u, unknown);
    auto shield = std::make_shared<Fenwarrow::Item::CItem>(scene_.game, 110);
    shield->setItemType(Fenwarrow::Item::CItem::kShield);
    shield->setName(u"木の盾");
    shield->getStatus().setCurse(true);
    data_->getPlayer()->addItem(weapon);
    data_->getPlayer()->addItem(shield);
    data_->setEquippedWeaponIndex(0);
    data_->setEquippedShieldIndex(1);
    setting().lastFloorNumber = 2;

    CResult scene(scene_, services());
    EXPECT_EQ(std::u16string(scene.getRecord().weaponText), u"<#Weapon:ICON>どうの剣＋3");
    EXPECT_EQ(std::u16string(scene.getRecord().shieldText), u"<#Evil:ICON><3:COLOR>木の盾</COLOR>");
    EXPECT_EQ(std::u16string(scene.getRecord().amuletText), u"");
    EXPECT_FALSE(weapon->getUnidentified());
    EXPECT_NE(scene.getStatusWindow()->text.find(u"武器<#180.0:POSX><#Weapon:ICON>どうの剣＋3\n"),
              std::u16string::npos);
}

// The characters the game's fonts hold: the game's own texts, the scripts' (the dungeon names
// among them) and printable ASCII.
std::u16string fontCharacters() {
    std::u16string characters;
    for (const char* file : {ORVEX_CONTENT_DIR "/Font/charset.txt", ORVEX_CONTENT_DIR "/Script/Dungeon/Loading.lua"}) {
        std::ifstream in(file, std::ios::binary);
        EXPECT_TRUE(in) << file;
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::u16string wide;
        EXPECT_TRUE(Orvex::System::toWideString(text, wide)) << file;
        characters += wide;
    }
    for (char16_t c = 0x20; c < 0x7F; ++c) {
        characters += c;
    }
    return characters;
}

// A tag the windows' font renderer reads: a colour by number or its end, or a named icon or
// position; any other text between "<" and ">" would be drawn as it stands.
bool readableTag(const std::u16string& tag) {
    if (tag == u"</COLOR>") {
        return true;
    }
    const std::size_t colon = tag.find(u':');
    if (tag.size() < 4 || tag.front() != u'<' || tag.back() != u'>' || colon == std::u16string::npos || colon < 2) {
        return false;
    }
    const std::u16string value = tag.substr(1, colon - 1);
    const std::u16string kind = tag.substr(colon + 1, tag.size() - colon - 2);
    if (kind == u"COLOR") {
        return value.find_first_not_of(u"0123456789") == std::u16string::npos;
    }
    if (value[0] != u'#' || (kind != u"ICON" && kind != u"POSX")) {
        return false;
    }
    if (kind == u"POSX") {
        return true;
    }
    const std::u16string icon = value.substr(1);
    for (int32_t type = 0; type < Fenwarrow::Item::CItem::kItemTypeCount; ++type) {
        if (icon == Fenwarrow::Item::CItem::getItemTypeName(type)) {
            return true;
        }
    }
    return icon == u"Evil";
}

// Every stored ranking, the sample records a new game starts with included, reads as a result
// does: where the dive ended, and texts whose every tag the windows read and whose every
// character the fonts hold.
TEST_F(ResultScene, EveryStoredRankingReadsAsAResultDoes) {
    const std::u16string characters = fontCharacters();
    for (uint32_t index = 0; index < 15; ++index) {
        SCOPED_TRACE(index);
        setting().nextScene = 11;
        setting().rankingIndex = index;
        CResult scene(scene_, services());
        ASSERT_EQ(scene.getRecord().valid, 1);
        EXPECT_NE(scene.getRecord().text3[0], u'\0') << "no dungeon named";
        for (const std::u16string& text : {scene.getResultWindow()->text, scene.getStatusWindow()->text}) {
            std::u16string plain;
            std::size_t at = 0;
            while (at < text.size()) {
                const std::size_t end = text[at] == u'<' ? text.find(u'>', at) : std::u16string::npos;
                if (end == std::u16string::npos) {
                    plain += text[at++];
                    continue;
                }
                const std::u16string tag = text.substr(at, end - at + 1);
                EXPECT_TRUE(readableTag(tag)) << "drawn as it stands: " << Orvex::System::narrow(tag);
                at = end + 1;
            }
            for (const char16_t c : plain) {
                EXPECT_TRUE(c == u'\n' || characters.find(c) != std::u16string::npos)
                    << "no glyph for " << Orvex::System::narrow(std::u16string(1, c));
            }
        }
    }
}

TEST_F(ResultScene, AMeltdownWithoutItsBackgroundFailsToStart) {
    setting().flags[Fenwarrow::kResultMeltdown] = 1;
    CResult scene(scene_, services());
    EXPECT_NE(scene.getResultWindow()->text.find(u"核の炎に包まれた。"), std::u16string::npos);
    EXPECT_FALSE(scene.initialize());
}

}  // namespace
