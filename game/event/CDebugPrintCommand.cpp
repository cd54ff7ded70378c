#include "game/event/CDebugPrintCommand.h"

namespace Fenwarrow::Event::Command {

void CDebugPrintCommand::execute(CEventPage&) { setStatus(CommandStatus::kDone); }

void CDebugPrintCommand::setup(const std::u16string& method, const CommandParameters& parameters) {
    if (method != u"setMessage") {
        return;
    }
    if (const auto* message = findParameter<std::u16string>(parameters, u"message")) {
        message_ = *message;
    }
}

}  // namespace Fenwarrow::Event::Command
