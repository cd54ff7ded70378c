#include "game/event/CFadeScreenCommand.h"

#include "engine/graphics/OxFadeScreenEffect.h"
#include "engine/graphics/OxScreenEffectController.h"

namespace Fenwarrow::Event::Command {

CFadeScreenCommand::CFadeScreenCommand(Orvex::Graphics::OxScreenEffectController* screenEffects)
    : screenEffects_(screenEffects), effect_(std::make_unique<Orvex::Graphics::OxFadeScreenEffect>()) {}

CFadeScreenCommand::~CFadeScreenCommand() { dropCallback(); }

void CFadeScreenCommand::dropCallback() {
    if (auto effect = running_.lock(); effect != nullptr && callbackId_ != 0) {
        effect->removeCallback(callbackId_);
    }
    running_.reset();
    callbackId_ = 0;
}

void CFadeScreenCommand::execute(CEventPage&) {
    if (!waiting_) {
        setStatus(CommandStatus::kDone);
    }
}

void CFadeScreenCommand::setup(const std::u16string& method, const CommandParameters& parameters) {
    if (effect_ == nullptr) {
        return;
    }
    if (method == u"setFade") {
        const auto* fadeTime = findParameter<float>(parameters, u"fadeTime");
        const auto* delayTime = findParameter<float>(parameters, u"delayTime");
        const auto* fadeType = findParameter<std::u16string>(parameters, u"fadeType");
        if (fadeTime == nullptr || delayTime == nullptr || fadeType == nullptr) {
            return;
        }
        if (*fadeType == u"FadeIn") {
            effect_->startFadeIn(*fadeTime, *delayTime);
        } else if (*fadeType == u"FadeOut") {
            effect_->startFadeOut(*fadeTime, *delayTime);
        }
    } else if (method == u"setColor") {
        const auto* a = findParameter<float>(parameters, u"a");
        const auto* r = findParameter<float>(parameters, u"r");
        const auto* g = findParameter<float>(parameters, u"g");
        const auto* b = findParameter<float>(parameters, u"b");
        if (a == nullptr || r == nullptr || g == nullptr || b == nullptr) {
            return;
        }
        effect_->setMaxAlpha(*a);
        effect_->setColor({*r, *g, *b, 1.0f});
    }
}

void CFadeScreenCommand::begin() {
    dropCallback();
    waiting_ = false;
    if (effect_ == nullptr) {
        effect_ = std::make_unique<Orvex::Graphics::OxFadeScreenEffect>();
    }
    std::shared_ptr<Orvex::Graphics::OxFadeScreenEffect> effect(effect_.release());
    if (screenEffects_ == nullptr || !effect->isActive()) {
        return;
    }
    effect->setRemoveWhenFinished(true);
    callbackId_ = effect->addCallback([this] { setStatus(CommandStatus::kDone); });
    running_ = effect;
    waiting_ = true;
    screenEffects_->add(effect);
}

void CFadeScreenCommand::end() {
    dropCallback();
    waiting_ = false;
    effect_.reset();
}

}  // namespace Fenwarrow::Event::Command
