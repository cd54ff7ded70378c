#include "game/services/IGameContext.h"

#include "game/services/IScriptCommand.h"
#include "game/services/CScriptController.h"

namespace Fenwarrow {

bool attachScriptModules(CScriptController& controller, IGameContext& context,
                         std::initializer_list<ScriptModule> modules) {
    for (ScriptModule module : modules) {
        std::shared_ptr<IScriptCommand> command = context.createScriptModule(module);
        if (command == nullptr || !controller.attachCommand(std::move(command))) {
            return false;
        }
    }
    return true;
}

}  // namespace Fenwarrow
