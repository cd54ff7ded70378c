#pragma once
// The "Event" module: scripts build scripted events (pages of commands) that the event layer
// steps once per frame. The module keeps no state of its own.
#include <functional>
#include <utility>

#include "game/services/CScriptCommandBase.h"

namespace Orvex::Graphics {
class OxScreenEffectController;
}
namespace Fenwarrow::Event {
class CEventLayer;
}

namespace Fenwarrow::ScriptCommand {

class CEventCommand : public CScriptCommandBase<CEventCommand> {
public:
    struct Services {
        // The layer that runs the events; null while there is none (nothing can be made then).
        std::function<Event::CEventLayer*()> eventLayer;
        // Where fade commands run; null makes every fade finish at once.
        std::function<Orvex::Graphics::OxScreenEffectController*()> screenEffects;
    };

    explicit CEventCommand(Services services) : services_(std::move(services)) {}

    bool registerFunctions(CScriptController& controller) override;

    Event::CEventLayer* getEventLayer() const { return services_.eventLayer ? services_.eventLayer() : nullptr; }
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() const {
        return services_.screenEffects ? services_.screenEffects() : nullptr;
    }

private:
    Services services_;
};

}  // namespace Fenwarrow::ScriptCommand
