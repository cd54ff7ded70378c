#pragma once
// A small game for the save tests, fuzzers and benchmark (no test framework needed): a packed
// archive with a player, an enemy and three item kinds, every script module as an empty table
// except "Game", whose Serialize functions work on the serializer of the actor script's call
// in progress as the game's do, the item factory, the game data and the settings.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "engine/serialization/OxSerializer.h"
#include "game/actor/CActor.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/CScriptController.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "tools/packer/OxArchivePacker.h"

namespace SaveWorld {

using Orvex::Serialization::OxSerializer;

inline int serializeSetInteger(lua_State* L) {
    OxSerializer* s = Fenwarrow::ScriptArguments::currentSerializer(L);
    if (s != nullptr && s->isWriting()) {
        s->write32(static_cast<int32_t>(lua_tointeger(L, 2)));
    }
    return 0;
}

inline int serializeGetInteger(lua_State* L) {
    int32_t value = 0;
    if (OxSerializer* s = Fenwarrow::ScriptArguments::currentSerializer(L)) {
        s->read32(value);
    }
    lua_pushinteger(L, value);
    return 1;
}

// "Game" with the Serialize table the actor scripts use.
class GameModule : public Fenwarrow::CScriptCommandBase<GameModule> {
public:
    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        lua_State* L = controller.getLuaState();
        lua_newtable(L);
        lua_newtable(L);
        lua_pushcfunction(L, &serializeSetInteger);
        lua_setfield(L, -2, "setInteger");
        lua_pushcfunction(L, &serializeGetInteger);
        lua_setfield(L, -2, "getInteger");
        lua_setfield(L, -2, "Serialize");
        lua_setglobal(L, "Game");
        return true;
    }
};

// A module the scripts here do not call: an empty global table of its name.
class EmptyModule : public Fenwarrow::CScriptCommandBase<EmptyModule> {
public:
    explicit EmptyModule(const char* name) : name_(name) {}
    bool registerFunctions(Fenwarrow::CScriptController& controller) override {
        lua_newtable(controller.getLuaState());
        lua_setglobal(controller.getLuaState(), name_);
        return true;
    }

private:
    const char* name_;
};

// Each actor keeps a number its script saves and reads back; the player's script takes the
// serializer after the count, the enemy's as its one argument, as the game's scripts may.
constexpr const char* kPlayerScript = R"lua(
Actor.Command = {}
memo = 0
function Actor.Command.serialize(n, s) Game.Serialize.setInteger(s, memo) end
function Actor.Command.deserialize(n, s) memo = Game.Serialize.getInteger(s) end
)lua";
constexpr const char* kEnemyScript = R"lua(
Actor.Command = {}
memo = 0
function Actor.Command.serialize(s) Game.Serialize.setInteger(s, memo) end
function Actor.Command.deserialize(s) memo = Game.Serialize.getInteger(s) end
)lua";
constexpr const char* kActorSetup = "function setActor(a) end function setup() end";
constexpr const char* kItemSetup = "function initialize(item) end";

inline std::vector<uint8_t> textBytes(const std::string& text) { return {text.begin(), text.end()}; }

inline std::vector<Orvex::Packer::PackerEntry> archiveEntries() {
    return {{u"Actor/Player/HERO/setup.lua.lcd", textBytes(kActorSetup)},
            {u"Actor/Player/HERO/actor.lua.lcd", textBytes(kPlayerScript)},
            {u"Actor/Enemy/TEST/setup.lua.lcd", textBytes(kActorSetup)},
            {u"Actor/Enemy/TEST/actor.lua.lcd", textBytes(kEnemyScript)},
            {u"Item/A/setup.lua.lcd", textBytes(kItemSetup)}};
}

// The actor script's saved number.
inline int32_t memoOf(const Fenwarrow::Actor::CActor& actor) {
    lua_State* L = actor.getScript()->getLuaState();
    lua_getglobal(L, "memo");
    const auto value = static_cast<int32_t>(lua_tointeger(L, -1));
    lua_pop(L, 1);
    return value;
}

inline void setMemo(const Fenwarrow::Actor::CActor& actor, int32_t value) {
    lua_State* L = actor.getScript()->getLuaState();
    lua_pushinteger(L, value);
    lua_setglobal(L, "memo");
}

// The game around the save code, reading its scripts from the archive at `archivePath` (an
// engine path), which is packed from the entries first.
class Context : public Fenwarrow::IGameContext {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::shared_ptr<Fenwarrow::IScriptCommand> createScriptModule(Fenwarrow::ScriptModule module) override {
        static const char* const kNames[] = {"Actor", "Audio",         "DamageCalculate", "Dungeon",     "Event",
                                             "Game",  "GeneralWindow", "Graphics",        "InputSystem", "Item",
                                             "Map",   "NonPlayer",     "SceneLayer",      "MossbellLib"};
        if (module == Fenwarrow::ScriptModule::kGame) {
            return std::make_shared<GameModule>();
        }
        return std::make_shared<EmptyModule>(kNames[static_cast<int>(module)]);
    }
    Fenwarrow::CGameDataManager* getGameDataManager() override { return gameData; }
    Fenwarrow::Item::CItemFactory* getItemFactory() override { return itemFactory; }
    Fenwarrow::Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) override {
        return gameData != nullptr ? gameData->findUnidentifiedItemInfo(itemId) : nullptr;
    }
    Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() override { return reader; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override { return audio; }
    // This small game's actors have no status conditions: their records hold none.
    std::unique_ptr<Fenwarrow::Actor::IActorConditions> createConditionController(Fenwarrow::Actor::CActor&) override {
        return nullptr;
    }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
    Fenwarrow::CGameDataManager* gameData = nullptr;
    Fenwarrow::Item::CItemFactory* itemFactory = nullptr;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> audio =
        std::make_shared<Orvex::AudioSystem::OxNullAudioDevice>();
};

// Item kinds 1 (a plain item), 2 (a pot) and 1060 (listed on floors whatever its flags).
class World {
public:
    // `archive` is an OS path for the packed scripts, packed there unless `pack` is clear;
    // `engineArchive` the same in engine form.
    World(const std::string& archive, const std::u16string& engineArchive, bool pack = true) {
        std::string error;
        ready = (!pack || Orvex::Packer::writeArchive(archive, archiveEntries(), {}, error)) &&
                context.reader.openArchives({engineArchive}, Orvex::FileArchiver::OxArchiveOptions{}) == 0;
        for (uint32_t id : {1u, 2u, 1060u}) {
            factory.addItemInfo(id, u"Item/A/");
        }
        context.itemFactory = &factory;
        gameData = std::make_unique<Fenwarrow::CGameDataManager>(context);
        context.gameData = gameData.get();
    }

    bool ready = false;
    Context context;
    Fenwarrow::Item::CItemFactory factory{context};
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData;
    Fenwarrow::CSettingDataManager settings;
};

}  // namespace SaveWorld
