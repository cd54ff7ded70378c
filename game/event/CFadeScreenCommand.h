#pragma once
// Fades the screen through the game's screen-effect controller and waits until the fade ends.
#include <cstdint>
#include <memory>

#include "game/event/CCommandBase.h"

namespace Orvex::Graphics {
class OxFadeScreenEffect;
class OxScreenEffectController;
}  // namespace Orvex::Graphics

namespace Fenwarrow::Event::Command {

class CFadeScreenCommand : public CCommandBase {
public:
    // The controller runs the fades; without one every run finishes at once.
    explicit CFadeScreenCommand(Orvex::Graphics::OxScreenEffectController* screenEffects);
    // A fade still running may outlive this command: its completion must not reach it.
    ~CFadeScreenCommand() override;

    void execute(CEventPage& page) override;
    // "setFade" ("fadeTime", "delayTime" floats, "fadeType" "FadeIn" or "FadeOut") and "setColor"
    // ("a", "r", "g", "b" floats). A call missing a key, or holding another kind under one, or
    // made after the command has begun, changes nothing.
    void setup(const std::u16string& method, const CommandParameters& parameters) override;
    // Hands the fade to the controller. A fade that was never started would never finish: the
    // command then finishes at its first execute instead.
    void begin() override;
    void end() override;

    // The fade not yet handed over; null once the command has begun.
    const Orvex::Graphics::OxFadeScreenEffect* getEffect() const { return effect_.get(); }

private:
    void dropCallback();

    Orvex::Graphics::OxScreenEffectController* screenEffects_;
    std::unique_ptr<Orvex::Graphics::OxFadeScreenEffect> effect_;
    std::weak_ptr<Orvex::Graphics::OxFadeScreenEffect> running_;
    uint32_t callbackId_ = 0;
    bool waiting_ = false;
};

}  // namespace Fenwarrow::Event::Command
