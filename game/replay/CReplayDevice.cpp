#include "game/replay/CReplayDevice.h"

#include "game/replay/CReplayController.h"

namespace Fenwarrow::Replay {

void CReplayDevice::update() {
    const CReplayFrame* frame = controller_.getCurrentFrame();
    currentFrame_ = frame != nullptr ? std::optional<CReplayFrame>(*frame) : std::nullopt;
}

const CReplayKeyState* CReplayDevice::button(uint32_t index) const {
    return currentFrame_.has_value() && index < kReplayKeyCount ? &currentFrame_->keys[index] : nullptr;
}

bool CReplayDevice::isDown(uint32_t index) {
    const CReplayKeyState* state = button(index);
    return state != nullptr && state->down;
}

bool CReplayDevice::isPushed(uint32_t index) {
    const CReplayKeyState* state = button(index);
    return state != nullptr && state->pushed;
}

bool CReplayDevice::isReleased(uint32_t index) {
    const CReplayKeyState* state = button(index);
    return state != nullptr && state->released;
}

}  // namespace Fenwarrow::Replay
