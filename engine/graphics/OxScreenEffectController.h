#pragma once
// Holds the running screen effects, updates them every step and draws them as one render-queue
// entry.
#include <list>
#include <memory>

#include "engine/graphics/OxScreenEffect.h"

namespace Orvex::Graphics {

class OxScreenEffectController {
public:
    using EffectPtr = std::shared_ptr<OxScreenEffect>;

    OxScreenEffectController() = default;
    OxScreenEffectController(const OxScreenEffectController&) = delete;
    OxScreenEffectController& operator=(const OxScreenEffectController&) = delete;
    virtual ~OxScreenEffectController() = default;

    void add(const EffectPtr& effect);
    // Updates in list order; an effect finished for good by its update is dropped at once.
    void update(IOrvexRenderer* renderer, float elapsedSeconds);
    // Stable sort by ascending priority, then draws from the last entry to the first.
    void draw(IOrvexRenderer* renderer);
    // Finishes and drops the first entry holding the effect.
    void remove(const EffectPtr& effect);
    // Empties the controller first, then finishes every effect in order: callbacks may add
    // new effects to the emptied controller.
    void clear();

    std::size_t size() const { return effects_.size(); }

private:
    std::list<EffectPtr> effects_;
};

}  // namespace Orvex::Graphics
