#pragma once
// Makes an event command from the category and name a script gives.
#include <memory>
#include <string>

#include "game/event/CCommandBase.h"

namespace Orvex::Graphics {
class OxScreenEffectController;
}

namespace Fenwarrow::Event::Command {

// "System"/"DeletePage", "Debug"/"DebugPrint" or "ScreenEffect"/"FadeScreen" (whole,
// case-sensitive); null for anything else. Fades run on the controller given.
std::shared_ptr<CCommandBase> createEventCommand(const std::u16string& category, const std::u16string& name,
                                                 Orvex::Graphics::OxScreenEffectController* screenEffects);

}  // namespace Fenwarrow::Event::Command
