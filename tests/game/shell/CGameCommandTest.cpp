#include "game/scriptcommand/CGameCommand.h"

#include <gtest/gtest.h>

#include "engine/serialization/OxSerializer.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/ScriptArguments.h"
#include "tests/game/scriptcommand/ScriptCallSupport.h"
#include "tests/game/shell/GameDataFixture.h"

namespace {

using Fenwarrow::Item::CItem;

class GameCommand : public GameTest::GameDataFixture {
protected:
    void SetUp() override {
        GameDataFixture::SetUp();
        context_.factories[Fenwarrow::ScriptModule::kGame] = [this] {
            return std::make_shared<Fenwarrow::ScriptCommand::CGameCommand>(context_);
        };
    }

    // The field of the script's "out" table, left on the stack.
    lua_State* field(const char* name) {
        lua_State* L = host_.getLuaState();
        lua_settop(L, 0);
        lua_getglobal(L, "out");
        lua_getfield(L, -1, name);
        return L;
    }

    Fenwarrow::CScriptController host_{context_};
};

TEST_F(GameCommand, DataFunctionsRefuseIndicesOutsideTheGameData) {
    auto stored = make(CItem::kWeapon, u"剣");
    data_->getStorageItemList(CItem::kWeapon)->push_back(stored);
    ASSERT_TRUE(host_.loadScript(u"Script/Test/globals.lua", 0x20000));
    ASSERT_TRUE(Fenwarrow::attachScriptModules(host_, context_, {Fenwarrow::ScriptModule::kGame}));
    ASSERT_TRUE(host_.runMain());
    host_.callVoid("run");

    EXPECT_EQ(data_->getGlobalInt(3), 9);
    EXPECT_EQ(data_->getGlobalInt(0), 0);  // 2^32 did not wrap round to 0
    EXPECT_EQ(data_->getGlobalFloat(0), 1.5f);
    EXPECT_TRUE(data_->getGlobalFlag(1023));
    struct Number {
        const char* name;
        lua_Number value;
    } numbers[] = {{"int3", 9},     {"int1024", 0},   {"intMinus1", 0},     {"float0", 1.5},
                   {"countIn2", 1}, {"countIn14", 0}, {"countInMinus1", 0}, {"money", 999999}};
    for (const Number& n : numbers) {
        EXPECT_EQ(lua_tonumber(field(n.name), -1), n.value) << n.name;
    }
    EXPECT_TRUE(lua_toboolean(field("flag1023"), -1));
    EXPECT_FALSE(lua_toboolean(field("flag1024"), -1));
    EXPECT_TRUE(lua_isnil(field("itemIn14"), -1));
    EXPECT_TRUE(lua_isnil(field("pastEndIn2"), -1));
    EXPECT_EQ(lua_touserdata(field("firstIn2"), -1), stored.get());
    EXPECT_EQ(lua_touserdata(field("player"), -1), data_->getPlayer().get());
    lua_settop(host_.getLuaState(), 0);
}

// The replay code's view of the test's game.
class TestReplayContext : public Fenwarrow::Replay::IReplayContext {
public:
    explicit TestReplayContext(Orvex::Random::IOrvexRandomGenerator& random) : random_(random) {}
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random_; }
    std::u16string getPlayerName() override { return u"tester"; }
    float getPlayTime() override { return 0.0f; }
    Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() override { return keys_; }

private:
    Orvex::Random::IOrvexRandomGenerator& random_;
    Orvex::InputSystem::OxVirtualKey keys_;
};

// The whole module from a script: each case calls one function by name with the test's objects
// and compares every result, in order, so that later cases see what earlier ones changed.
class GameModule : public GameCommand {
protected:
    void SetUp() override {
        GameCommand::SetUp();
        context_.settingData = &settings_;
        context_.replay = &replay_;
        context_.stepTime = 0.25f;
        ASSERT_TRUE(host_.loadScript(u"Script/Test/gamemodule.lua", 0x20000));
        ASSERT_TRUE(Fenwarrow::attachScriptModules(host_, context_, {Fenwarrow::ScriptModule::kGame}));
        ASSERT_TRUE(host_.runMain());
    }

    struct Case {
        std::string function;
        std::vector<ScriptCall::Argument> arguments;
        ScriptCall::Values results;
    };

    void run(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            std::vector<ScriptCall::Argument> arguments{c.function};
            arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
            EXPECT_EQ(ScriptCall::call(host_.getLuaState(), "call", arguments), c.results) << c.function;
        }
    }

    static std::u16string text(const std::array<char16_t, Fenwarrow::kSettingPathUnits>& field) {
        return std::u16string(field.data(), std::find(field.begin(), field.end(), u'\0') - field.begin());
    }

    Fenwarrow::CSettingDataManager settings_;
    TestReplayContext replayContext_{context_.random};
    Fenwarrow::Replay::CReplayController replay_{replayContext_};
};

TEST_F(GameModule, PlayerItemsAndEquipment) {
    auto sword = carry(CItem::kWeapon, u"剣");
    auto shield = carry(CItem::kShield, u"盾");
    auto pot = carry(CItem::kWeapon + 10, u"壺");
    auto inPot = make(CItem::kWeapon, u"短剣");
    pot->pushItemIntoItemList(inPot);
    auto stored = make(CItem::kShield, u"大盾");
    data_->getStorageItemList(CItem::kShield)->push_back(stored);
    void* const stranger = &settings_;  // a pointer that is no item

    run({
        {"Game.Data.getMaxPlayerItemCount", {}, {"20"}},
        {"Game.Data.getPlayerItemCount", {}, {"3"}},
        {"Game.Data.getPlayerItemIndex", {shield.get()}, {"1"}},
        {"Game.Data.getPlayerItemIndex", {stored.get()}, {"-1"}},
        {"Game.Data.getPlayerItemIndex", {stranger}, {"-1"}},
        {"Game.Data.getPlayerItem", {0.0}, {"object"}},
        {"Game.Data.getPlayerItem", {3.0}, {"null"}},  // at the count: a null handle, no error
        {"Game.Data.getPlayerItem", {-1.0}, {"null"}},
        {"Game.Data.isPlayerItem", {sword.get()}, {"true"}},
        {"Game.Data.isPlayerItem", {stored.get()}, {"false"}},
        {"Game.Data.addPlayerItem", {7.0}, {"nil"}},  // this game has no item factory
        // Nothing equipped: detaching everything changes nothing.
        {"Game.Data.detachAllEquippedItems", {}, {}},
        {"Game.Data.getEquippedWeaponIndex", {}, {"-1"}},
        {"Game.Data.setEquippedWeaponItem", {sword.get()}, {}},
        {"Game.Data.setEquippedShieldItem", {sword.get()}, {}},  // a weapon is no shield
        {"Game.Data.getEquippedShieldIndex", {}, {"-1"}},
        {"Game.Data.setEquippedShieldItem", {shield.get()}, {}},
        {"Game.Data.getEquippedWeaponIndex", {}, {"0"}},
        {"Game.Data.getEquippedShieldIndex", {}, {"1"}},
        {"Game.Data.getEquippedShieldItem", {}, {"object"}},
        {"Game.Data.setEquippedAmuletIndex", {9.0}, {}},  // stored as given
        {"Game.Data.getEquippedAmuletIndex", {}, {"9"}},
        {"Game.Data.getEquippedAmuletItem", {}, {"nil"}},
        {"Game.Data.detachAllEquippedItems", {}, {}},
        {"Game.Data.getEquippedWeaponIndex", {}, {"-1"}},
        {"Game.Data.getEquippedShieldIndex", {}, {"-1"}},
        {"Game.Data.getEquippedAmuletIndex", {}, {"-1"}},
        {"Game.Data.setEquippedShieldItem", {shield.get()}, {}},
        {"Game.Data.detachEquippedItem", {shield.get()}, {}},
        {"Game.Data.getEquippedShieldIndex", {}, {"-1"}},
        // Storage both ways.
        {"Game.Data.storageItemToPlayer", {stored.get()}, {}},
        {"Game.Data.getStorageItemCount", {double(CItem::kShield)}, {"0"}},
        {"Game.Data.getPlayerItemIndex", {stored.get()}, {"3"}},
        {"Game.Data.playerItemToStorage", {sword.get()}, {}},
        {"Game.Data.getStorageItemCount", {double(CItem::kWeapon)}, {"1"}},
        {"Game.Data.getStorageItem", {double(CItem::kWeapon), 0.0}, {"object"}},
        {"Game.Data.getStorageItem", {double(CItem::kWeapon), 1.0}, {"nil"}},
        {"Game.Data.removeStorageItem", {sword.get()}, {}},
        {"Game.Data.getStorageItemCount", {double(CItem::kWeapon)}, {"0"}},
        // An item inside a carried pot leaves the pot and the player.
        {"Game.Data.removePlayerItem", {inPot.get()}, {}},
        {"Game.Data.getPlayerItemCount", {}, {"3"}},
        {"Game.Data.removePlayerItem", {shield.get()}, {}},
        {"Game.Data.getPlayerItemCount", {}, {"2"}},
        {"Game.Data.resetPlayerItem", {}, {}},
        {"Game.Data.getPlayerItemCount", {}, {"0"}},
    });
    EXPECT_TRUE(pot->getItemList().empty());
    EXPECT_EQ(inPot->getHolder(), nullptr);
    EXPECT_EQ(data_->getPlayer()->findItem(inPot.get()), -1);
}

TEST_F(GameModule, SystemSettingsAndUnidentifiedNames) {
    run({
        {"Game.System.getGameMode", {5.0}, {"5", "TIMETRIAL"}},
        {"Game.System.getGameMode", {}, {"function", "TIMETRIAL"}},
        {"Game.System.getStepTime", {}, {"0.25"}},
        {"Game.System.getBGM", {}, {"nil"}},
        {"Game.CommonData.getTexture", {0.0}, {"nil"}},
        {"Game.Data.setPlayerMoney", {1000000.0}, {}},
        {"Game.Data.getPlayerMoney", {}, {"999999"}},
        {"Game.Data.addUnidentifiedItemInfo", {12.0, std::string("青い薬")}, {}},
        {"Game.Data.addUnidentifiedItemInfo", {12.0, std::string("赤い薬"), true}, {}},
        {"Game.Data.addUnidentifiedItemInfo", {13.0, std::string(70, 'x'), true}, {}},
        {"Game.Setting.Dungeon.setDungeonScriptPath", {std::string(140, 'd')}, {}},
        {"Game.Setting.ADV.setADVScriptFilePath", {std::string("Script/ADV/test.lua")}, {}},
        {"Game.Setting.ADV.setNextScene", {10.0}, {}},
        {"Game.Setting.Result.setMeltdown", {true}, {}},
        {"Game.Setting.Result.setR99Cleared", {1.0}, {}},
        {"Game.Setting.Result.setLastFloorNumber", {7.0}, {}},
        {"Game.Setting.Result.getLastFloorNumber", {}, {"7"}},
        {"Game.Setting.Result.setLastFloorName", {std::string("地下7階")}, {}},
        {"Game.Setting.Result.setDamageSourceName", {std::string(300, 's')}, {}},
        {"Game.Setting.Result.setDamageName", {std::string("%d")}, {}},
        {"Game.Setting.Result.setNextScene", {9.0}, {}},
        {"Game.Setting.WorldMap.setBootMode", {2.0}, {}},
        {"Game.Setting.WorldMap.setPrevDungenScriptPath", {std::string("Dungeon/A.lua")}, {}},
        {"Game.Setting.WorldMap.setNextDungenScriptPath", {std::string("Dungeon/B.lua")}, {}},
        {"Game.Setting.WorldMap.getPrevDungenScriptPath", {}, {"Dungeon/A.lua"}},
        {"Game.Setting.WorldMap.getNextDungenScriptPath", {}, {"Dungeon/B.lua"}},
        {"Game.Setting.Movie.setMovieFilePath", {std::string("Movie/event.ogv")}, {}},
        {"Game.Setting.Movie.setNextScene", {11.0}, {}},
        {"Game.Replay.setMode", {1.0}, {}},
        {"Game.Replay.setDungeonScript", {std::string(130, 'r')}, {}},
    });
    const auto* first = data_->findUnidentifiedItemInfo(12);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, u"青い薬");  // the second call for the ID changed nothing
    EXPECT_FALSE(first->unidentified);
    const auto* cut = data_->findUnidentifiedItemInfo(13);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->name.size(), 63u);
    EXPECT_TRUE(cut->unidentified);

    EXPECT_EQ(text(settings_.getDungeonSetting().scriptPath), std::u16string(127, u'd'));
    EXPECT_EQ(text(settings_.getADVSetting().path), u"Script/ADV/test.lua");
    EXPECT_EQ(settings_.getADVSetting().nextScene, 10);
    const Fenwarrow::CResultSetting& result = settings_.getResultSetting();
    EXPECT_EQ(result.flags[Fenwarrow::kResultMeltdown], 1);
    EXPECT_EQ(result.flags[Fenwarrow::kResultR99Cleared], 1);
    EXPECT_EQ(result.flags[Fenwarrow::kResultReturned], 0);
    EXPECT_EQ(std::u16string(result.lastFloorName.data()), u"地下7階");
    EXPECT_EQ(std::u16string(result.damageSourceName.data()), std::u16string(255, u's'));
    EXPECT_EQ(std::u16string(result.damageName.data()), u"%d");  // the name is data, not a format
    EXPECT_EQ(result.nextScene, 9);
    EXPECT_EQ(settings_.getWorldMapSetting().bootMode, 2u);
    EXPECT_EQ(text(settings_.getMovieSetting().path), u"Movie/event.ogv");
    EXPECT_EQ(settings_.getMovieSetting().nextScene, 11);
    EXPECT_EQ(replay_.getMode(), Fenwarrow::Replay::CReplayController::kModeRecording);
    EXPECT_EQ(replay_.getInfo()->getDungeonScript(), std::u16string(127, u'r'));

    run({{"Game.Data.resetUnidentifiedItemInfo", {}, {}}});
    EXPECT_TRUE(data_->findUnidentifiedItemInfo(12)->unidentified);
    run({{"Game.Data.clearUnidentifiedItemInfo", {}, {}}});
    EXPECT_EQ(data_->findUnidentifiedItemInfo(12), nullptr);
    run({{"Game.Replay.reset", {}, {}}});
    EXPECT_EQ(replay_.getMode(), Fenwarrow::Replay::CReplayController::kModeOff);
}

TEST_F(GameModule, ShieldIndexAndAmuletItemAreStoredAsTheOthersAre) {
    auto sword = carry(CItem::kWeapon, u"剣");
    auto amulet = carry(CItem::kAmulet, u"護符");
    auto loose = make(CItem::kAmulet, u"落ちた護符");  // not carried
    run({
        {"Game.Data.setEquippedShieldIndex", {4.0}, {}},  // stored as given
        {"Game.Data.getEquippedShieldIndex", {}, {"4"}},
        {"Game.Data.setEquippedShieldIndex", {-1.0}, {}},
        {"Game.Data.getEquippedShieldIndex", {}, {"-1"}},
        {"Game.Data.setEquippedAmuletItem", {amulet.get()}, {}},
        {"Game.Data.getEquippedAmuletIndex", {}, {"1"}},
        {"Game.Data.getEquippedAmuletItem", {}, {"object"}},
        // Neither a weapon nor an amulet the player does not carry changes the one worn.
        {"Game.Data.setEquippedAmuletItem", {sword.get()}, {}},
        {"Game.Data.getEquippedAmuletIndex", {}, {"1"}},
        {"Game.Data.setEquippedAmuletItem", {loose.get()}, {}},
        {"Game.Data.getEquippedAmuletIndex", {}, {"1"}},
        {"Game.Data.setEquippedAmuletItem", {static_cast<void*>(nullptr)}, {}},  // null unequips
        {"Game.Data.getEquippedAmuletIndex", {}, {"-1"}},
    });
}

// Each ending flag setter writes its own flag and no other, both ways.
TEST_F(GameModule, ResultFlagSettersEachWriteTheirOwnFlag) {
    const struct {
        const char* setter;
        Fenwarrow::ResultFlag flag;
    } cases[] = {
        {"Game.Setting.Result.setReturned", Fenwarrow::kResultReturned},
        {"Game.Setting.Result.setR30Cleared", Fenwarrow::kResultR30Cleared},
        {"Game.Setting.Result.setR99Cleared", Fenwarrow::kResultR99Cleared},
        {"Game.Setting.Result.setTT23Cleared", Fenwarrow::kResultTT23Cleared},
        {"Game.Setting.Result.setMeltdown", Fenwarrow::kResultMeltdown},
    };
    const auto& flags = settings_.getResultSetting().flags;
    for (const auto& c : cases) {
        run({{c.setter, {true}, {}}});
        for (std::size_t flag = 0; flag < flags.size(); ++flag) {
            EXPECT_EQ(flags[flag], flag == static_cast<std::size_t>(c.flag) ? 1 : 0) << c.setter << " flag " << flag;
        }
        run({{c.setter, {false}, {}}});
        EXPECT_EQ(flags[c.flag], 0) << c.setter;
    }
}

// What an actor script writes it reads back, whichever of the two values it was handed it
// passes; past the end both reads give 0 (the float not left unset); outside a save or restore
// call there is no serializer, whatever pointer the script passes.
TEST_F(GameModule, SerializeReadsBackAndZeroPastTheEnd) {
    Orvex::Serialization::OxSerializer serializer;
    lua_State* L = host_.getLuaState();
    Fenwarrow::ScriptArguments::lendObject(L, &serializer);
    EXPECT_EQ(ScriptCall::call(L, "roundTrip", {&serializer}), ScriptCall::Values{});
    EXPECT_EQ(serializer.getBuffer().size(), 0u);

    Fenwarrow::ScriptArguments::beginSerializerCall(L, &serializer);
    ScriptCall::call(L, "roundTrip", {1.0});
    EXPECT_EQ(serializer.getBuffer().size(), 8u);
    serializer.setWriting(false);
    ScriptCall::call(L, "roundTrip", {&serializer});  // no writes while it is read
    EXPECT_EQ(ScriptCall::call(L, "readBack", {&serializer}), (ScriptCall::Values{"-7", "2.5", "0", "0"}));
    Fenwarrow::ScriptArguments::endSerializerCall(L, &serializer);
}

TEST_F(GameModule, RankingTablesWriteTheTimeAsHoursMinutesSeconds) {
    Fenwarrow::CResultInfo record{};
    record.valid = 1;
    record.score = 999999;
    record.playTime = 3725.9f;
    record.cleared = 1;
    Fenwarrow::CResultInfo::setText(record.playerName, u"勇者");
    data_->addRankingRecord(record);
    const ScriptCall::Values score = ScriptCall::call(host_.getLuaState(), "ranking", {std::string("score")});
    ASSERT_EQ(score.size(), 5u);
    EXPECT_EQ(score[0], "5");
    EXPECT_EQ(score[1], "勇者");
    EXPECT_EQ(score[2], "01:02:05");
    EXPECT_EQ(score[3], "999999");
    const ScriptCall::Values time = ScriptCall::call(host_.getLuaState(), "ranking", {std::string("time")});
    ASSERT_EQ(time.size(), 5u);
    EXPECT_EQ(time[0], "5");
}

}  // namespace
