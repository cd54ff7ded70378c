#pragma once
// A trace that shows where a replay's playback went another way than its run. With
// ORVEX_REPLAY_TRACE set (and the debug output on), each update pass that took a recorded or
// replayed input step writes "Replay step <n>: <digest>" when the digest of the game's state
// differs from the last one written. A run and its playback take the same steps, so their
// traces agree line for line up to the first step at which the game went elsewhere. Only game
// logic goes into the digest (turns, money, each actor's cell and status, the items), nothing
// drawn or timed, so the playback speed changes nothing in it. Playback also writes
// "Replay speed: <n> update steps a frame" when its speed changes.
#include <cstdint>

namespace Fenwarrow {

class CGameDataManager;
namespace Dungeon {
class CDungeon;
}
namespace Replay {
class CReplayController;
}

class CReplayTrace {
public:
    // Off unless the environment asks for it.
    CReplayTrace();
    explicit CReplayTrace(bool enabled) : enabled_(enabled) {}

    void afterUpdatePass(const Replay::CReplayController& replay, const CGameDataManager* gameData,
                         const Dungeon::CDungeon* floor);

    // FNV-1a over the game's state; either part may be absent.
    static uint64_t digest(const CGameDataManager* gameData, const Dungeon::CDungeon* floor);

private:
    bool enabled_ = false;
    uint32_t mode_ = 0;
    uint64_t step_ = 0;
    uint64_t digest_ = 0;
    uint32_t speedStep_ = 1;
};

}  // namespace Fenwarrow
