#include "engine/graphics/OxScreenEffect.h"

#include <algorithm>
#include <vector>

#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::Graphics {

OxScreenEffect::~OxScreenEffect() {
    finish();
    callbacks_.clear();
}

IOrvexSpriteDraw* OxScreenEffect::screenSprite(IOrvexRenderer* renderer, OxRect& screen) {
    if (renderer == nullptr) {
        return nullptr;
    }
    IOrvexSpriteDraw* sprite = renderer->getSpriteDraw();
    IOrvexGraphics* graphics = renderer->getGraphics();
    OxViewportRect viewport;
    if (sprite == nullptr || graphics == nullptr || graphics->getViewport(&viewport) < 0) {
        return nullptr;
    }
    screen.right = static_cast<float>(viewport.width);
    screen.bottom = static_cast<float>(viewport.height);
    return sprite;
}

bool OxScreenEffect::start() {
    if (finished_) {
        return false;
    }
    active_ = onStart();
    return active_;
}

void OxScreenEffect::finish() {
    if (!active_) {
        return;
    }
    onFinish();
    active_ = false;
    if (removeWhenFinished_) {
        finished_ = true;
    }
    // A callback may remove itself or another callback (its owner going away): run a snapshot
    // and skip entries removed meanwhile, so the list is never walked while it changes.
    std::vector<Registered> snapshot(callbacks_.begin(), callbacks_.end());
    for (const Registered& entry : snapshot) {
        if (isRegistered(entry.id)) {
            entry.callback();
        }
    }
}

uint32_t OxScreenEffect::addCallback(const Callback& callback) {
    ++nextCallbackId_;
    callbacks_.push_back(Registered{callback, nextCallbackId_});
    return nextCallbackId_;
}

void OxScreenEffect::removeCallback(uint32_t id) {
    auto it = std::find_if(callbacks_.begin(), callbacks_.end(), [id](const Registered& r) { return r.id == id; });
    if (it != callbacks_.end()) {
        callbacks_.erase(it);
    }
}

bool OxScreenEffect::isRegistered(uint32_t id) const {
    return std::any_of(callbacks_.begin(), callbacks_.end(), [id](const Registered& r) { return r.id == id; });
}

}  // namespace Orvex::Graphics
