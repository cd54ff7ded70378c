#include "game/scriptcommand/CSceneLayerCommand.h"

#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using ScriptArguments::flagArg;

CSceneLayerCommand& module(lua_State* L) {
    CSceneLayerCommand* found = CSceneLayerCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "SceneLayer: no module object is attached to this state");
    }
    return *found;
}

SceneLayer::CSceneLayerManager* managerOf(lua_State* L) { return module(L).getLayerManager(); }

int isRunning(lua_State* L) {
    SceneLayer::CSceneLayerManager* manager = managerOf(L);
    if (manager == nullptr) {
        return 0;
    }
    lua_pushboolean(L, manager->isRunning());
    return 1;
}

int getLayerCount(lua_State* L) {
    SceneLayer::CSceneLayerManager* manager = managerOf(L);
    if (manager == nullptr) {
        return 0;
    }
    lua_pushinteger(L, static_cast<lua_Integer>(manager->getLayerCount()));
    return 1;
}

int setEnableFocus(lua_State* L) {
    if (SceneLayer::CSceneLayerManager* manager = managerOf(L)) {
        manager->setEnableFocus(flagArg(L, 1));
    }
    return 0;
}

int getEnableFocus(lua_State* L) {
    SceneLayer::CSceneLayerManager* manager = managerOf(L);
    if (manager == nullptr) {
        return 0;
    }
    lua_pushboolean(L, manager->getEnableFocus());
    return 1;
}

// Makes the layer and hands it to the stack; its handle, or nil when it cannot be made or its
// set-up refuses it (it is then already gone).
int pushLayer(lua_State* L, CSceneLayerCommand::LayerFactory CSceneLayerCommand::Services::*factory) {
    CSceneLayerCommand& self = module(L);
    SceneLayer::CSceneLayerManager* manager = self.getLayerManager();
    const auto& make = self.getServices().*factory;
    const char* path = lua_tostring(L, 1);
    std::u16string script;
    if (manager == nullptr || !make || path == nullptr || !Orvex::System::toWideString(path, script)) {
        return 0;
    }
    std::shared_ptr<SceneLayer::CSceneLayer> layer = make(script);
    if (layer == nullptr || !manager->addLayer(layer)) {
        return 0;
    }
    lua_pushlightuserdata(L, layer.get());
    return 1;
}

int pushAdventureLayer(lua_State* L) { return pushLayer(L, &CSceneLayerCommand::Services::makeAdventureLayer); }

int pushGeneralWindowLayer(lua_State* L) { return pushLayer(L, &CSceneLayerCommand::Services::makeGeneralWindowLayer); }

}  // namespace

bool CSceneLayerCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"SceneLayer",
                            {
                                {"isRunning", &isRunning},
                                {"getLayerCount", &getLayerCount},
                                {"setEnableFocus", &setEnableFocus},
                                {"getEnableFocus", &getEnableFocus},
                                {"pushAdventureLayer", &pushAdventureLayer},
                                {"pushGeneralWindowLayer", &pushGeneralWindowLayer},
                            },
                            {}});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
