#include "game/scriptcommand/CInputSystemCommand.h"

#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

namespace Fenwarrow::ScriptCommand {

namespace {

using Keys = CInputSystemCommand::Keys;

CInputSystemCommand& module(lua_State* L) {
    CInputSystemCommand* found = CInputSystemCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "InputSystem: no module object is attached to this state");
    }
    return *found;
}

Keys* keysArg(lua_State* L, int index) { return module(L).findKeys(lua_touserdata(L, index)); }

int getVirtualKey(lua_State* L) {
    CInputSystemCommand& self = module(L);
    const int32_t index = lua_isnoneornil(L, 1) ? -1 : ScriptArguments::intArg(L, 1);
    Keys* keys = index == -1 ? self.getCurrentKeys() : self.getKeysAt(index);
    if (keys == nullptr) {
        return 0;
    }
    lua_pushlightuserdata(L, keys);
    return 1;
}

int resetAll(lua_State* L) {
    if (Keys* keys = keysArg(L, 1)) {
        keys->clearAllKeys();
    }
    return 0;
}

// A script's key number reaches the set only when it is one: a negative number would wrap to a
// huge one. The set itself answers "up" past its own last key.
template <bool (Keys::*Query)(uint32_t)>
int keyQuery(lua_State* L) {
    Keys* keys = keysArg(L, 1);
    const int32_t key = ScriptArguments::intArg(L, 2);
    const bool result = keys != nullptr && key >= 0 && (keys->*Query)(static_cast<uint32_t>(key));
    lua_pushboolean(L, result ? 1 : 0);
    return 1;
}

}  // namespace

Keys* CInputSystemCommand::getKeysAt(int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < keys_.size() ? keys_[static_cast<std::size_t>(index)]
                                                                        : nullptr;
}

Keys* CInputSystemCommand::findKeys(const void* keys) const {
    if (keys == nullptr) {
        return nullptr;
    }
    if (Keys* current = getCurrentKeys(); current == keys) {
        return current;
    }
    for (Keys* own : keys_) {
        if (own == keys) {
            return own;
        }
    }
    return nullptr;
}

bool CInputSystemCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"InputSystem",
                            {
                                {"getVirtualKey", &getVirtualKey},
                                {"resetAll", &resetAll},
                                {"isPress", &keyQuery<&Keys::isDown>},
                                {"isPush", &keyQuery<&Keys::isPushed>},
                                {"isRelease", &keyQuery<&Keys::isReleased>},
                                {"isRepeat", &keyQuery<&Keys::isRepeat>},
                            },
                            {}});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
