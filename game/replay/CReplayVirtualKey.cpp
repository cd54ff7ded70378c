#include "game/replay/CReplayVirtualKey.h"

#include "game/replay/CReplayInfo.h"

namespace Fenwarrow::Replay {

CReplayVirtualKey::CReplayVirtualKey(Orvex::InputSystem::OxVirtualKey& live) {
    loadFrame(CReplayInfo::makeFrame(live, 0.0f));
}

void CReplayVirtualKey::loadFrame(const CReplayFrame& frame) {
    keyRecords_.assign(frame.keys.begin(), frame.keys.end());
}

const CReplayKeyState* CReplayVirtualKey::record(uint32_t key) const {
    return key < keyRecords_.size() ? &keyRecords_[key] : nullptr;
}

bool CReplayVirtualKey::isDown(uint32_t key) {
    const CReplayKeyState* state = record(key);
    return state != nullptr && state->down;
}

bool CReplayVirtualKey::isPushed(uint32_t key) {
    const CReplayKeyState* state = record(key);
    return state != nullptr && state->pushed;
}

bool CReplayVirtualKey::isReleased(uint32_t key) {
    const CReplayKeyState* state = record(key);
    return state != nullptr && state->released;
}

uint32_t CReplayVirtualKey::getHoldCount(uint32_t key) {
    const CReplayKeyState* state = record(key);
    return state != nullptr ? state->holdCount : 0;
}

bool CReplayVirtualKey::isRepeat(uint32_t key) {
    const CReplayKeyState* state = record(key);
    return state != nullptr && state->repeat;
}

}  // namespace Fenwarrow::Replay
