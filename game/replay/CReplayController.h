#pragma once
// The replay in progress. While the player plays (recording) every input step stores a
// snapshot of the twelve keys; frames are spilled to numbered chunk files under "Temp/" so that
// a crash loses little, merged into one replay file under "Replay/" when the run ends or at the
// next start. During playback each input step loads the next recorded frame into the key
// table that the game hands to its input readers.
//
// Game thread only. One controller exists for the program's life.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/replay/CReplayInfo.h"
#include "game/replay/CReplayVirtualKey.h"
#include "game/replay/IReplayContext.h"

namespace Fenwarrow::Replay {

class CReplayController {
public:
    static constexpr uint32_t kModeOff = 0;
    static constexpr uint32_t kModeRecording = 1;
    static constexpr uint32_t kModePlayback = 2;

    static constexpr uint32_t kStateStopped = 0;
    static constexpr uint32_t kStateRunning = 1;
    static constexpr uint32_t kStatePaused = 2;
    static constexpr uint32_t kStateFinished = 3;

    static constexpr uint32_t kSpeedCount = 5;
    static constexpr uint32_t kFramesPerChunk = 602;
    static constexpr uint32_t kMaxChunks = 65535;

    explicit CReplayController(IReplayContext& context);
    CReplayController(const CReplayController&) = delete;
    CReplayController& operator=(const CReplayController&) = delete;

    // A new replay (which reseeds the game's generator) and an empty key table. Chunks left by
    // a run that was cut short are first merged and saved as a replay file; they are deleted
    // only once that file is written, and the new replay stays the fresh one.
    void reset();
    // No replay and no key table; mode off, state stopped, speed 1, counters 0.
    void clear();

    bool start();   // stopped -> running
    bool pause();   // running -> paused
    bool resume();  // paused -> running
    bool finish();  // -> finished
    bool stop();    // -> stopped

    // Playback only: the speed index becomes index mod 5 (unsigned), effective at the next update.
    void setSpeed(uint32_t index);

    // One input step; called by every input reader right before it reads the keys.
    void update();

    // The key table of the current step. With the mode off (or no table yet) it is first
    // replaced by a snapshot of the live keys.
    std::shared_ptr<CReplayVirtualKey> getVirtualKey();

    // Null without a replay or frames; the frame at the frame index, else the last frame.
    // The pointer is valid until the next change of the replay.
    const CReplayFrame* getCurrentFrame() const;

    // In recording mode, appends a frame made from the current key table.
    void recordFrame();

    static std::u16string getChunkPath(uint32_t chunk);
    std::u16string nextChunkPath();

    bool saveReplayFile(const std::u16string& path);
    // To "Replay/replayYYYYMMDDhhmmss.lrd" (local time), creating "Replay/" when needed. Once it
    // is written, the chunks merged into it are deleted.
    bool saveReplay();
    // Puts the frames of chunk 0, 1, ... (up to the first missing, unreadable or foreign one)
    // in front of the replay's frames and takes the header of the last chunk read. The chunks
    // stay on disk until saveReplay has written the replay or deleteMergedChunks is called.
    void mergeTempChunks();
    // Deletes the chunks merged so far: the player chose not to keep the replay.
    void deleteMergedChunks();

    // Resets, then reads the replay file. On failure the replay is the fresh one of the reset.
    bool loadReplay(const std::u16string& path);
    bool loadDefaultReplay();

    void setMode(uint32_t mode) { mode_ = mode; }
    uint32_t getMode() const { return mode_; }
    uint32_t getState() const { return state_; }
    uint32_t getSpeedStep() const { return speedStep_; }
    uint32_t getSpeedIndex() const { return speedIndex_; }
    uint32_t getFrameIndex() const { return frameIndex_; }
    // Input steps recorded or played back since the replay began (0 with the mode off): the
    // same number names the same step in a run and in its playback.
    uint64_t getStepCount() const;
    uint32_t getChunkIndex() const { return chunkIndex_; }
    std::shared_ptr<CReplayInfo> getInfo() const { return info_; }

private:
    void recordStep();
    void playStep();
    void writeChunk();
    // Reads the chunks of one run into target; returns the paths of the chunks read.
    std::vector<std::u16string> collectChunks(CReplayInfo& target);
    void recoverCutShortRun();
    static bool saveTimeNamed(const CReplayInfo& info);

    IReplayContext& context_;
    std::shared_ptr<CReplayInfo> info_;
    uint32_t speedStep_ = 1;
    uint32_t mode_ = kModeOff;
    uint32_t state_ = kStateStopped;
    uint32_t frameIndex_ = 0;
    uint32_t speedIndex_ = 0;
    uint32_t chunkIndex_ = 0;
    // Frames appended by recording since the last clear, whatever went to chunks.
    uint64_t recordedSteps_ = 0;
    std::shared_ptr<CReplayVirtualKey> virtualKey_;
    // Chunk files merged into info_ and not yet deleted.
    std::vector<std::u16string> mergedChunks_;
};

}  // namespace Fenwarrow::Replay
