#pragma once
// What a replay stores for one input step: the state of the twelve virtual keys and the play
// time. In memory these are typed values; on disk each frame is a fixed 100-byte record with
// little-endian numbers, converted field by field.
#include <array>
#include <cstddef>
#include <cstdint>

namespace Fenwarrow::Replay {

inline constexpr std::size_t kReplayKeyCount = 12;

struct CReplayKeyState {
    uint32_t holdCount = 0;
    bool down = false;
    bool pushed = false;
    bool released = false;
    bool repeat = false;

    bool operator==(const CReplayKeyState&) const = default;
};

struct CReplayFrame {
    std::array<CReplayKeyState, kReplayKeyCount> keys{};
    float playTime = 0.0f;  // the game data's play-time counter when the frame was made

    bool operator==(const CReplayFrame&) const = default;
};

// The saved forms: byte arrays only, so layout and byte order never depend on the compiler.
struct CReplayKeyRecordDisk {
    uint8_t holdCount[4];
    uint8_t down;
    uint8_t pushed;
    uint8_t released;
    uint8_t repeat;
};
static_assert(sizeof(CReplayKeyRecordDisk) == 8);

struct CReplayFrameDisk {
    CReplayKeyRecordDisk keys[kReplayKeyCount];
    uint8_t playTime[4];
};
static_assert(sizeof(CReplayFrameDisk) == 100);

CReplayFrameDisk toDisk(const CReplayFrame& frame);
// Any non-zero flag byte reads as set.
CReplayFrame fromDisk(const CReplayFrameDisk& disk);

}  // namespace Fenwarrow::Replay
