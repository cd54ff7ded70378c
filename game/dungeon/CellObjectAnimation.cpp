#include "game/dungeon/CellObjectAnimation.h"

#include <vector>

#include "engine/animation/OxMADObject.h"
#include "game/dungeon/CCellObject.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Dungeon {

namespace {

constexpr uint32_t kSetupMemory = 0x20000;

std::string globalText(CScriptController& script, const char* name) {
    lua_State* L = script.getLuaState();
    lua_getglobal(L, name);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    std::string value = text != nullptr ? std::string(text, length) : std::string();
    lua_pop(L, 1);
    return value;
}

}  // namespace

bool setupAnimation(IGameContext& context, CCellObject& object, const std::u16string& folder) {
    const std::u16string from = folder.empty() ? object.getFolderPath() : folder;
    if (object.getAnimation() != nullptr) {
        object.getAnimation()->clear();
    }
    CScriptController script(context);
    if (!script.loadScript(from + u"setup.lua", kSetupMemory) ||
        !attachScriptModules(script, context,
                             {ScriptModule::kMossbellLib, ScriptModule::kActor, ScriptModule::kItem,
                              ScriptModule::kGame, ScriptModule::kDamageCalculate})) {
        return false;
    }
    // The script works on this object and its sprite, so both are lent to it.
    ScriptArguments::lendObject(script.getLuaState(), &object);
    ScriptArguments::lendObject(script.getLuaState(), object.getAnimation().get());
    script.runMain();
    std::vector<CScriptValue> results;
    CScriptValue self(static_cast<void*>(&object));
    if (object.getCellObjectType() == CCellObject::kActor) {
        script.callFunctionWithArg(results, "setActor", 0, self);
        script.callFunctionNoArgs(results, "setupAnimation", 0);
    } else if (object.getCellObjectType() == CCellObject::kItem) {
        // Only read: the name is a value the item scripts set, never a function to call.
        const std::string file = globalText(script, "g_animationFileName");
        script.callFunctionPath(results, {"Item", "Utility", "setupBasicAnimation"}, 0, {self, CScriptValue(file)});
    }
    for (CCellObject* dependent : object.getDependentObjects()) {
        if (dependent != nullptr) {
            setupAnimation(context, *dependent, u"");
        }
    }
    return true;
}

}  // namespace Fenwarrow::Dungeon
