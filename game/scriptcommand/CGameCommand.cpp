#include "game/scriptcommand/CGameCommand.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdint>
#include <string>

#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxWideFormat.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/replay/CReplayController.h"
#include "game/replay/CReplayInfo.h"
#include "game/scriptcommand/GameCommandSupport.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

// Every function below may leave by longjmp (a Lua error) only where it keeps no native object
// with a destructor alive: texts are read and stored in blocks that make no Lua call.

namespace Fenwarrow::ScriptCommand {

namespace GameCommand {

IGameContext* context(lua_State* L) {
    CGameCommand* module = CGameCommand::fromState(L);
    return module != nullptr ? &module->getContext() : nullptr;
}

CGameDataManager* gameData(lua_State* L) {
    IGameContext* game = context(L);
    return game != nullptr ? game->getGameDataManager() : nullptr;
}

int pushObject(lua_State* L, void* object) {
    if (object != nullptr) {
        lua_pushlightuserdata(L, object);
    } else {
        lua_pushnil(L);
    }
    return 1;
}

}  // namespace GameCommand

namespace {

using GameCommand::context;
using GameCommand::gameData;
using GameCommand::pushObject;
using ScriptArguments::flagArg;
using ScriptArguments::intArg;
using ScriptArguments::wideArg;

// ---- Game.System

// Scripts read either of the two results, so both stay: the value the stack holds below the
// name (the last argument, or this function when there is none), then the name.
int getGameMode(lua_State* L) {
    const int arguments = lua_gettop(L);
    if (arguments > 0) {
        lua_pushvalue(L, arguments);
    } else {
        lua_Debug record;
        if (lua_getstack(L, 0, &record) == 0 || lua_getinfo(L, "f", &record) == 0) {
            lua_pushnil(L);
        }
    }
    lua_pushstring(L, "TIMETRIAL");
    return 2;
}

int getStepTime(lua_State* L) {
    IGameContext* game = context(L);
    lua_pushnumber(L, game != nullptr ? game->getStepTime() : 0.0f);
    return 1;
}

int playBGM(lua_State* L) {
    CGameDataManager* data = gameData(L);
    const bool force = flagArg(L, 2);
    if (data != nullptr) {
        data->playBGM(wideArg(L, 1), force);
    }
    return 0;
}

int stopBGM(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->stopBGM();
    }
    return 0;
}

// The game's music, system sounds and common textures reach the script lent to its state, so
// that the Audio and Graphics modules take them back (and nothing else in their place). The
// game keeps each of them: the script's handle is only an address, and no native reference is
// alive when a Lua call may raise an error.
int pushGameObject(lua_State* L, void* object) {
    if (object != nullptr) {
        ScriptArguments::lendObject(L, object);
    }
    return pushObject(L, object);
}

int getBGM(lua_State* L) {
    CGameDataManager* data = gameData(L);
    void* source = data != nullptr ? data->getBGMSource().get() : nullptr;
    return pushGameObject(L, source);
}

// ---- Game.CommonData

int getTexture(lua_State* L) {
    IGameContext* game = context(L);
    void* texture = nullptr;
    if (game != nullptr) {
        // The reference taken for the call is given back at once; the common data keep theirs.
        texture = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(game->getCommonTexture(intArg(L, 1)))
                      .get();
    }
    return pushGameObject(L, texture);
}

int getSystemSE(lua_State* L) {
    IGameContext* game = context(L);
    void* source = game != nullptr ? game->getSystemSE(intArg(L, 1)).get() : nullptr;
    return pushGameObject(L, source);
}

// ---- Game.Setting

CSettingDataManager* settings(lua_State* L) {
    IGameContext* game = context(L);
    return game != nullptr ? game->getSettingDataManager() : nullptr;
}

// Copies the text into a fixed field, cut to leave room for the terminator.
template <std::size_t N>
void copyText(std::array<char16_t, N>& field, const std::u16string& text) {
    field.fill(u'\0');
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field.begin());
}

// The field of the setting record that `select` picks, given the script's text.
template <typename Select>
int setPath(lua_State* L, Select select) {
    CSettingDataManager* records = settings(L);
    if (records == nullptr) {
        return 0;
    }
    {
        const std::u16string text = wideArg(L, 1);
        copyText(select(*records), text);
    }
    return 0;
}

template <typename Select>
int getPath(lua_State* L, Select select) {
    CSettingDataManager* records = settings(L);
    if (records == nullptr) {
        lua_pushstring(L, "");
        return 1;
    }
    const auto& field = select(*records);
    ScriptArguments::pushText(
        L, std::u16string_view(field.data(), std::find(field.begin(), field.end(), u'\0') - field.begin()));
    return 1;
}

template <typename Select>
int setSceneNumber(lua_State* L, Select select) {
    if (CSettingDataManager* records = settings(L)) {
        select(*records) = intArg(L, 1);
    }
    return 0;
}

// The result record's names are the script's text through "%s", cut to the field.
template <typename Select>
int setName(lua_State* L, Select select) {
    CSettingDataManager* records = settings(L);
    if (records == nullptr) {
        return 0;
    }
    {
        const std::u16string text = Orvex::System::formatWide(u"%s", wideArg(L, 1));
        copyText(select(records->getResultSetting()), text);
    }
    return 0;
}

int setResultFlag(lua_State* L, ResultFlag flag) {
    if (CSettingDataManager* records = settings(L)) {
        records->getResultSetting().flags.at(flag) = flagArg(L, 1) ? 1 : 0;
    }
    return 0;
}

int setDungeonScriptPath(lua_State* L) {
    return setPath(
        L, [](CSettingDataManager & r) -> auto& { return r.getDungeonSetting().scriptPath; });
}
int setADVScriptFilePath(lua_State* L) {
    return setPath(
        L, [](CSettingDataManager & r) -> auto& { return r.getADVSetting().path; });
}
int setADVNextScene(lua_State* L) {
    return setSceneNumber(
        L, [](CSettingDataManager & r) -> auto& { return r.getADVSetting().nextScene; });
}
int setMeltdown(lua_State* L) { return setResultFlag(L, kResultMeltdown); }
int setReturned(lua_State* L) { return setResultFlag(L, kResultReturned); }
int setR30Cleared(lua_State* L) { return setResultFlag(L, kResultR30Cleared); }
int setR99Cleared(lua_State* L) { return setResultFlag(L, kResultR99Cleared); }
int setTT23Cleared(lua_State* L) { return setResultFlag(L, kResultTT23Cleared); }
int setLastFloorNumber(lua_State* L) {
    return setSceneNumber(
        L, [](CSettingDataManager & r) -> auto& { return r.getResultSetting().lastFloorNumber; });
}
int getLastFloorNumber(lua_State* L) {
    CSettingDataManager* records = settings(L);
    lua_pushinteger(L, records != nullptr ? records->getResultSetting().lastFloorNumber : 0);
    return 1;
}
int setLastFloorName(lua_State* L) {
    return setName(
        L, [](CResultSetting & r) -> auto& { return r.lastFloorName; });
}
int setDamageSourceName(lua_State* L) {
    return setName(
        L, [](CResultSetting & r) -> auto& { return r.damageSourceName; });
}
int setDamageName(lua_State* L) {
    return setName(
        L, [](CResultSetting & r) -> auto& { return r.damageName; });
}
int setResultNextScene(lua_State* L) {
    return setSceneNumber(
        L, [](CSettingDataManager & r) -> auto& { return r.getResultSetting().nextScene; });
}
int setBootMode(lua_State* L) {
    if (CSettingDataManager* records = settings(L)) {
        records->getWorldMapSetting().bootMode = static_cast<uint32_t>(intArg(L, 1));
    }
    return 0;
}
auto prevDungeonPath = [](CSettingDataManager & r) -> auto& { return r.getWorldMapSetting().prevDungeonScriptPath; };
auto nextDungeonPath = [](CSettingDataManager & r) -> auto& { return r.getWorldMapSetting().nextDungeonScriptPath; };
int setPrevDungenScriptPath(lua_State* L) { return setPath(L, prevDungeonPath); }
int getPrevDungenScriptPath(lua_State* L) { return getPath(L, prevDungeonPath); }
int setNextDungenScriptPath(lua_State* L) { return setPath(L, nextDungeonPath); }
int getNextDungenScriptPath(lua_State* L) { return getPath(L, nextDungeonPath); }
int setMovieFilePath(lua_State* L) {
    return setPath(
        L, [](CSettingDataManager & r) -> auto& { return r.getMovieSetting().path; });
}
int setMovieNextScene(lua_State* L) {
    return setSceneNumber(
        L, [](CSettingDataManager & r) -> auto& { return r.getMovieSetting().nextScene; });
}

// ---- Game.Serialize

// The serializer of the actor script's save or restore in progress. Scripts are handed it with
// a count before it and pass back either, so the first argument is not taken as a pointer;
// outside such a call there is none.
Orvex::Serialization::OxSerializer* serializerArg(lua_State* L) { return ScriptArguments::currentSerializer(L); }

int readInteger(lua_State* L) {
    int32_t value = 0;
    if (auto* serializer = serializerArg(L)) {
        serializer->read32(value);  // past the end it reads 0
    }
    lua_pushinteger(L, value);
    return 1;
}

int readNumber(lua_State* L) {
    float value = 0.0f;
    if (auto* serializer = serializerArg(L)) {
        serializer->read32(value);  // past the end it reads 0.0
    }
    lua_pushnumber(L, value);
    return 1;
}

// A serializer that is being read takes no writes.
int writeInteger(lua_State* L) {
    if (auto* serializer = serializerArg(L); serializer != nullptr && serializer->isWriting()) {
        serializer->write32(intArg(L, 2));
    }
    return 0;
}

int writeNumber(lua_State* L) {
    if (auto* serializer = serializerArg(L); serializer != nullptr && serializer->isWriting()) {
        serializer->write32(static_cast<float>(lua_tonumber(L, 2)));
    }
    return 0;
}

// ---- Game.Replay

Replay::CReplayController* replay(lua_State* L) {
    IGameContext* game = context(L);
    return game != nullptr ? game->getReplayController() : nullptr;
}

int resetReplay(lua_State* L) {
    if (Replay::CReplayController* controller = replay(L)) {
        controller->reset();
    }
    return 0;
}

int setReplayMode(lua_State* L) {
    if (Replay::CReplayController* controller = replay(L)) {
        controller->setMode(static_cast<uint32_t>(intArg(L, 1)));
    }
    return 0;
}

int setReplayDungeonScript(lua_State* L) {
    Replay::CReplayController* controller = replay(L);
    if (controller == nullptr) {
        return 0;
    }
    {
        const std::u16string path = wideArg(L, 1);
        if (std::shared_ptr<Replay::CReplayInfo> info = controller->getInfo()) {
            info->setDungeonScript(path);  // cut to 127 characters there
        }
    }
    return 0;
}

// ---- Game.Ranking

// Seconds, truncated toward zero, as hours, minutes and seconds.
void pushRankingTime(lua_State* L, float seconds) {
    const auto t = static_cast<int32_t>(seconds);
    const int32_t hours = t / 3600;
    const int32_t minutes = (t - hours * 3600) / 60;
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(hours), static_cast<int>(minutes),
                  static_cast<int>(t % 60));
    lua_pushstring(L, text);
}

int pushRanking(lua_State* L, const CGameDataManager::Ranking* (*select)(const CGameDataManager&)) {
    const CGameDataManager* data = gameData(L);
    lua_createtable(L, CGameDataManager::kRankingCount, 0);
    if (data == nullptr) {
        return 1;
    }
    const CGameDataManager::Ranking& ranking = *select(*data);
    for (int32_t i = 0; i < CGameDataManager::kRankingCount; ++i) {
        const CResultInfo& record = ranking.at(static_cast<std::size_t>(i));
        lua_createtable(L, 0, 3);
        const std::u16string_view name(record.playerName,
                                       std::find(std::begin(record.playerName), std::end(record.playerName), u'\0') -
                                           std::begin(record.playerName));
        ScriptArguments::pushText(L, name);
        lua_setfield(L, -2, "name");
        pushRankingTime(L, record.playTime);
        lua_setfield(L, -2, "time");
        lua_pushinteger(L, record.score);
        lua_setfield(L, -2, "score");
        lua_rawseti(L, -2, i + 1);
    }
    return 1;
}

int getScoreAttackRankingList(lua_State* L) {
    return pushRanking(L, [](const CGameDataManager& d) { return &d.getRankingByScore(); });
}

int getTimeAttackRankingList(lua_State* L) {
    return pushRanking(L, [](const CGameDataManager& d) { return &d.getRankingByTime(); });
}

}  // namespace

bool CGameCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    using namespace GameCommand;
    registerScriptTable(
        L, {"Game",
            {},
            {
                {"System",
                 {{"getGameMode", &getGameMode},
                  {"getStepTime", &getStepTime},
                  {"playBGM", &playBGM},
                  {"stopBGM", &stopBGM},
                  {"getBGM", &getBGM}},
                 {}},
                {"CommonData", {{"getTexture", &getTexture}, {"getSystemSE", &getSystemSE}}, {}},
                {"Data",
                 {
                     {"getPlayer", &getPlayer},
                     {"getPlayerMoney", &getPlayerMoney},
                     {"setPlayerMoney", &setPlayerMoney},
                     {"getGlobalFlag", &getGlobalFlag},
                     {"setGlobalFlag", &setGlobalFlag},
                     {"getGlobalInt", &getGlobalInt},
                     {"setGlobalInt", &setGlobalInt},
                     {"getGlobalFloat", &getGlobalFloat},
                     {"setGlobalFloat", &setGlobalFloat},
                     {"getMaxPlayerItemCount", &getMaxPlayerItemCount},
                     {"getPlayerItemCount", &getPlayerItemCount},
                     {"getPlayerItemIndex", &getPlayerItemIndex},
                     {"getPlayerItem", &getPlayerItem},
                     {"addPlayerItem", &addPlayerItem},
                     {"removePlayerItem", &removePlayerItem},
                     {"resetPlayerItem", &resetPlayerItem},
                     {"getStorageItemCount", &getStorageItemCount},
                     {"getStorageItem", &getStorageItem},
                     {"removeStorageItem", &removeStorageItem},
                     {"playerItemToStorage", &playerItemToStorage},
                     {"storageItemToPlayer", &storageItemToPlayer},
                     {"isPlayerItem", &isPlayerItem},
                     {"detachEquippedItem", &detachEquippedItem},
                     {"detachAllEquippedItems", &detachAllEquippedItems},
                     {"getEquippedWeaponIndex", &getEquippedWeaponIndex},
                     {"getEquippedShieldIndex", &getEquippedShieldIndex},
                     {"getEquippedAmuletIndex", &getEquippedAmuletIndex},
                     {"getEquippedWeaponItem", &getEquippedWeaponItem},
                     {"getEquippedShieldItem", &getEquippedShieldItem},
                     {"getEquippedAmuletItem", &getEquippedAmuletItem},
                     {"setEquippedWeaponIndex", &setEquippedWeaponIndex},
                     {"setEquippedShieldIndex", &setEquippedShieldIndex},
                     {"setEquippedAmuletIndex", &setEquippedAmuletIndex},
                     {"setEquippedWeaponItem", &setEquippedWeaponItem},
                     {"setEquippedShieldItem", &setEquippedShieldItem},
                     {"setEquippedAmuletItem", &setEquippedAmuletItem},
                     {"addUnidentifiedItemInfo", &addUnidentifiedItemInfo},
                     {"clearUnidentifiedItemInfo", &clearUnidentifiedItemInfo},
                     {"resetUnidentifiedItemInfo", &resetUnidentifiedItemInfo},
                 },
                 {}},
                {"Setting",
                 {},
                 {
                     {"Dungeon", {{"setDungeonScriptPath", &setDungeonScriptPath}}, {}},
                     {"ADV", {{"setADVScriptFilePath", &setADVScriptFilePath}, {"setNextScene", &setADVNextScene}}, {}},
                     {"Result",
                      {{"setMeltdown", &setMeltdown},
                       {"setReturned", &setReturned},
                       {"setR30Cleared", &setR30Cleared},
                       {"setR99Cleared", &setR99Cleared},
                       {"setTT23Cleared", &setTT23Cleared},
                       {"setLastFloorNumber", &setLastFloorNumber},
                       {"getLastFloorNumber", &getLastFloorNumber},
                       {"setLastFloorName", &setLastFloorName},
                       {"setDamageSourceName", &setDamageSourceName},
                       {"setDamageName", &setDamageName},
                       {"setNextScene", &setResultNextScene}},
                      {}},
                     {"WorldMap",
                      {{"setBootMode", &setBootMode},
                       {"setPrevDungenScriptPath", &setPrevDungenScriptPath},
                       {"getPrevDungenScriptPath", &getPrevDungenScriptPath},
                       {"setNextDungenScriptPath", &setNextDungenScriptPath},
                       {"getNextDungenScriptPath", &getNextDungenScriptPath}},
                      {}},
                     {"Movie", {{"setMovieFilePath", &setMovieFilePath}, {"setNextScene", &setMovieNextScene}}, {}},
                 }},
                {"Serialize",
                 {{"getInteger", &readInteger},
                  {"getNumber", &readNumber},
                  {"setInteger", &writeInteger},
                  {"setNumber", &writeNumber}},
                 {}},
                {"Replay",
                 {{"reset", &resetReplay}, {"setMode", &setReplayMode}, {"setDungeonScript", &setReplayDungeonScript}},
                 {}},
                {"Ranking",
                 {{"getScoreAttackRankingList", &getScoreAttackRankingList},
                  {"getTimeAttackRankingList", &getTimeAttackRankingList}},
                 {}},
            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
