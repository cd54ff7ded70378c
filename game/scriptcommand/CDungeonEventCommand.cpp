#include "game/scriptcommand/DungeonCommandSupport.h"

#include <cstdint>
#include <string>

#include "engine/font/OxFontRenderer.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/ScriptArguments.h"

// The Dungeon module's Event, Adventure, Font, MiniMap and Turn functions. Every function below
// may leave by longjmp (a Lua error when no module is attached) only before it makes a native
// object with a destructor.

namespace Fenwarrow::ScriptCommand::DungeonCommand {

using Dungeon::CDungeon;
using ScriptArguments::flagArg;
using ScriptArguments::intArg;
using ScriptArguments::wideArg;

int doEventScript(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->doEventScript(wideArg(L, 1));
    }
    return 0;
}

// The two objects are only handed on to the story's set-up script, which reads them through
// the modules that check them; nothing here uses them.
int doAdventureScript(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->doAdventureScript(wideArg(L, 1), reinterpret_cast<uintptr_t>(lua_touserdata(L, 2)),
                                 reinterpret_cast<uintptr_t>(lua_touserdata(L, 3)));
    }
    return 0;
}

int drawText(lua_State* L) {
    CDungeon* floor = floorOf(L);
    Orvex::FontLib::OxFontRenderer* font = floor != nullptr ? floor->getFontRenderer().get() : nullptr;
    if (font != nullptr) {
        const std::u16string text = wideArg(L, 1);
        font->penX = static_cast<float>(lua_tonumber(L, 2));
        font->penY = static_cast<float>(lua_tonumber(L, 3));
        font->drawText(text, {});
    }
    return 0;
}

int showMiniMap(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getFloorState().showMiniMap = flagArg(L, 1) ? 1 : 0;
    }
    return 0;
}

int setMiniMapOffset(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getFloorState().miniMapOffsetX = static_cast<float>(lua_tonumber(L, 1));
        floor->getFloorState().miniMapOffsetY = static_cast<float>(lua_tonumber(L, 2));
    }
    return 0;
}

int setTurnCount(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getTurnController().setTurnCount(static_cast<uint32_t>(intArg(L, 1)));
    }
    return 0;
}

int getTurnCount(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    lua_pushinteger(L, floor != nullptr ? static_cast<lua_Integer>(floor->getTurnController().getTurnCount()) : 0);
    return 1;
}

int setSuspend(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getTurnController().setSuspend(flagArg(L, 1));
    }
    return 0;
}

}  // namespace Fenwarrow::ScriptCommand::DungeonCommand
