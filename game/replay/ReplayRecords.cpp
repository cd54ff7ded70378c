#include "game/replay/ReplayRecords.h"

#include <bit>

namespace Fenwarrow::Replay {
namespace {

void put32(uint8_t (&out)[4], uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t get32(const uint8_t (&in)[4]) {
    return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

}  // namespace

CReplayFrameDisk toDisk(const CReplayFrame& frame) {
    CReplayFrameDisk disk{};
    for (std::size_t k = 0; k < kReplayKeyCount; ++k) {
        const CReplayKeyState& key = frame.keys[k];
        put32(disk.keys[k].holdCount, key.holdCount);
        disk.keys[k].down = key.down ? 1 : 0;
        disk.keys[k].pushed = key.pushed ? 1 : 0;
        disk.keys[k].released = key.released ? 1 : 0;
        disk.keys[k].repeat = key.repeat ? 1 : 0;
    }
    put32(disk.playTime, std::bit_cast<uint32_t>(frame.playTime));
    return disk;
}

CReplayFrame fromDisk(const CReplayFrameDisk& disk) {
    CReplayFrame frame;
    for (std::size_t k = 0; k < kReplayKeyCount; ++k) {
        CReplayKeyState& key = frame.keys[k];
        key.holdCount = get32(disk.keys[k].holdCount);
        key.down = disk.keys[k].down != 0;
        key.pushed = disk.keys[k].pushed != 0;
        key.released = disk.keys[k].released != 0;
        key.repeat = disk.keys[k].repeat != 0;
    }
    frame.playTime = std::bit_cast<float>(get32(disk.playTime));
    return frame;
}

}  // namespace Fenwarrow::Replay
