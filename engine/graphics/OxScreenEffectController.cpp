#include "engine/graphics/OxScreenEffectController.h"

#include <algorithm>
#include <vector>

namespace Orvex::Graphics {

void OxScreenEffectController::add(const EffectPtr& effect) { effects_.push_back(effect); }

void OxScreenEffectController::update(IOrvexRenderer* renderer, float elapsedSeconds) {
    // Completion callbacks may add, remove or clear effects: walk a snapshot, keep each effect
    // alive while it runs and skip those that left the controller meanwhile.
    const std::vector<EffectPtr> snapshot(effects_.begin(), effects_.end());
    for (const EffectPtr& effect : snapshot) {
        auto it = std::find(effects_.begin(), effects_.end(), effect);
        if (it == effects_.end()) {
            continue;
        }
        effect->update(renderer, elapsedSeconds);
        if (effect->isFinished()) {
            it = std::find(effects_.begin(), effects_.end(), effect);
            if (it != effects_.end()) {
                effects_.erase(it);
            }
        }
    }
}

void OxScreenEffectController::draw(IOrvexRenderer* renderer) {
    effects_.sort([](const EffectPtr& a, const EffectPtr& b) { return a->getPriority() < b->getPriority(); });
    const std::vector<EffectPtr> snapshot(effects_.rbegin(), effects_.rend());
    for (const EffectPtr& effect : snapshot) {
        effect->draw(renderer);
    }
}

void OxScreenEffectController::remove(const EffectPtr& effect) {
    auto it = std::find(effects_.begin(), effects_.end(), effect);
    if (it == effects_.end()) {
        return;
    }
    EffectPtr held = *it;
    held->finish();
    it = std::find(effects_.begin(), effects_.end(), held);
    if (it != effects_.end()) {
        effects_.erase(it);
    }
}

void OxScreenEffectController::clear() {
    std::list<EffectPtr> taken;
    taken.swap(effects_);
    for (const EffectPtr& effect : taken) {
        effect->finish();
    }
}

}  // namespace Orvex::Graphics
