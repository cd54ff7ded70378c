#pragma once
// A key table whose answers come from a recorded frame instead of input devices. Recording
// snapshots the live keys into one at each input step; playback loads each recorded frame into
// one, and every input reader is handed it, so the game sees exactly the recorded input.
//
// Only the queries below answer from the records; the table has no devices, so its update
// changes nothing they report, and the repeat flag is the recorded one. A key outside the
// records reads as up with hold 0.
#include <cstdint>
#include <vector>

#include "engine/input/OxVirtualKey.h"
#include "game/replay/ReplayRecords.h"

namespace Fenwarrow::Replay {

class CReplayVirtualKey : public Orvex::InputSystem::OxVirtualKey {
public:
    // No records: the replay controller replaces it before any reader uses it.
    CReplayVirtualKey() = default;
    // The twelve keys of the live table as they answer now.
    explicit CReplayVirtualKey(Orvex::InputSystem::OxVirtualKey& live);

    // The twelve key records of the frame; its play time is not kept.
    void loadFrame(const CReplayFrame& frame);

    bool isDown(uint32_t key) override;
    bool isPushed(uint32_t key) override;
    bool isReleased(uint32_t key) override;
    uint32_t getHoldCount(uint32_t key) override;
    bool isRepeat(uint32_t key) override;

    const std::vector<CReplayKeyState>& getKeyRecords() const { return keyRecords_; }

private:
    const CReplayKeyState* record(uint32_t key) const;

    std::vector<CReplayKeyState> keyRecords_;
};

}  // namespace Fenwarrow::Replay
