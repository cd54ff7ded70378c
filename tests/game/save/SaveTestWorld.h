#pragma once
// A small game for save tests: a packed archive with a player, an enemy and three item kinds,
// a "Game" module whose Serialize functions take only the serializer lent to the calling state
// (as the game's do), the item factory, the game data and the settings, in a fresh base folder.
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "game/actor/CPlayer.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/CScriptCommandBase.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/ScriptArguments.h"
#include "engine/serialization/OxSerializer.h"
#include "tests/game/shell/GameTestContext.h"

namespace SaveTest {

using Orvex::Serialization::OxSerializer;

inline OxSerializer* lentSerializer(lua_State* L) { return Fenwarrow::ScriptArguments::currentSerializer(L); }

inline int serializeSetInteger(lua_State* L) {
    if (OxSerializer* s = lentSerializer(L); s != nullptr && s->isWriting()) {
        s->write32(static_cast<int32_t>(lua_tointeger(L, 2)));
    }
    return 0;
}

inline int serializeGetInteger(lua_State* L) {
    int32_t value = 0;
    if (OxSerializer* s = lentSerializer(L)) {
        s->read32(value);
    }
    lua_pushinteger(L, value);
    return 1;
}

// "Game" with the Serialize table the actor scripts use, as the game's own module does it.
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

// Each actor keeps a number its script saves and reads back; the player's script takes the
// serializer as (count, serializer), the enemy's as the one argument, as the game's scripts may.
constexpr const char* kPlayerScript = R"lua(
Actor.Command = {}
memo = 0
function Actor.Command.serialize(n, s) Game.Serialize.setInteger(s, memo) end
function Actor.Command.deserialize(n, s) memo = Game.Serialize.getInteger(s) end
)lua";
constexpr const char* kEnemyScript = R"lua(
Actor.Command = {}
memo = 0
function Actor.Command.serialize(a, b) Game.Serialize.setInteger(b or a, memo) end
function Actor.Command.deserialize(a, b) memo = Game.Serialize.getInteger(b or a) end
)lua";
constexpr const char* kActorSetup = "function setActor(a) end function setup() end";
constexpr const char* kItemSetup = "function initialize(item) end";

inline std::vector<Orvex::Packer::PackerEntry> archiveEntries() {
    using ScriptTest::textBytes;
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

// Item kinds 1 (a plain item), 2 (a pot) and 1060 (listed on floors whatever its flags).
class World {
public:
    explicit World(TempFolder& folder, std::vector<Orvex::Packer::PackerEntry> extra = {}) {
        std::vector<Orvex::Packer::PackerEntry> entries = archiveEntries();
        entries.insert(entries.end(), extra.begin(), extra.end());
        ScriptTest::openArchive(folder, context.reader, entries);
        context.provideAllModules();
        context.factories[Fenwarrow::ScriptModule::kGame] = [] { return std::make_shared<GameModule>(); };
        for (uint32_t id : {1u, 2u, 1060u}) {
            factory.addItemInfo(id, u"Item/A/");
        }
        context.itemFactory = &factory;
        gameData = std::make_unique<Fenwarrow::CGameDataManager>(context);
        context.gameData = gameData.get();
    }

    std::shared_ptr<Fenwarrow::Item::CItem> item(uint32_t id) { return factory.createItem(id); }

    GameTest::TestGameContext context;
    Fenwarrow::Item::CItemFactory factory{context};
    std::unique_ptr<Fenwarrow::CGameDataManager> gameData;
    Fenwarrow::CSettingDataManager settings;
};

}  // namespace SaveTest
