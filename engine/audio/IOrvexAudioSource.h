#pragma once
// A playable sound: a whole WAV held in memory (type 0) or a streamed Ogg Vorbis file (type 1).
#include <cstdint>

namespace Orvex::AudioSystem {

inline constexpr uint32_t kSourceTypeWave = 0;
inline constexpr uint32_t kSourceTypeVorbis = 1;

inline constexpr uint32_t kAudioStateStopped = 0;
inline constexpr uint32_t kAudioStatePlaying = 1;
inline constexpr uint32_t kAudioStatePaused = 2;

class IOrvexAudioSource {
public:
    virtual ~IOrvexAudioSource() = default;

    virtual bool isNull() = 0;
    virtual uint32_t getSourceType() = 0;
    virtual uint32_t getState() = 0;
    virtual bool play() = 0;
    virtual bool playNew() = 0;
    virtual bool stop() = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // 0xFFFFFFFF loops forever.
    virtual bool setLoopCount(uint32_t count) = 0;
    virtual uint32_t getLoopCount() = 0;
};

}  // namespace Orvex::AudioSystem
