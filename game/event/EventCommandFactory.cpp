#include "game/event/EventCommandFactory.h"

#include "game/event/CDebugPrintCommand.h"
#include "game/event/CDeletePageCommand.h"
#include "game/event/CFadeScreenCommand.h"

namespace Fenwarrow::Event::Command {

std::shared_ptr<CCommandBase> createEventCommand(const std::u16string& category, const std::u16string& name,
                                                 Orvex::Graphics::OxScreenEffectController* screenEffects) {
    if (category == u"System" && name == u"DeletePage") {
        return std::make_shared<CDeletePageCommand>();
    }
    if (category == u"Debug" && name == u"DebugPrint") {
        return std::make_shared<CDebugPrintCommand>();
    }
    if (category == u"ScreenEffect" && name == u"FadeScreen") {
        return std::make_shared<CFadeScreenCommand>(screenEffects);
    }
    return nullptr;
}

}  // namespace Fenwarrow::Event::Command
