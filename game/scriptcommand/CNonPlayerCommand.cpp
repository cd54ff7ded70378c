#include "game/scriptcommand/CNonPlayerCommand.h"

#include "game/services/CScriptController.h"
#include "game/services/ScriptCommandTable.h"

namespace Fenwarrow::ScriptCommand {

bool CNonPlayerCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"NonPlayer", {}, {}});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
