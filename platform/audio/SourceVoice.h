#pragma once
// A source voice: a queue of PCM buffers in the voice's own format, resampled and mapped to the
// engine's stereo output. Every public operation takes the engine lock; the callbacks run later,
// outside it, in the order the mixer met the events.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/audio/AudioTypes.h"

namespace Platform::Audio {

class AudioEngine;
class SourceVoice;

struct VoiceEvent {
    enum class Kind : uint8_t { BufferStart, BufferEnd, LoopEnd, StreamEnd };
    SourceVoice* voice;
    Kind kind;
    void* context;
};

class SourceVoice {
public:
    SourceVoice(const SourceVoice&) = delete;
    SourceVoice& operator=(const SourceVoice&) = delete;

    AudioResult start();
    // Halts the voice where it is; queued data stays.
    AudioResult stop();
    AudioResult submitSourceBuffer(const AudioBuffer& buffer);
    // Removes the queued buffers (all of them when stopped; all but the one being played when
    // running). Each removed buffer still gets its end callback, on the next mixing pass.
    AudioResult flushSourceBuffers();
    void getState(VoiceState* state);
    AudioResult setVolume(float volume);
    void getVolume(float* volume);
    // Removes the voice from the engine and frees it. When it returns, no callback of this voice
    // is running or will run (unless it is called from one of them, which is allowed).
    void destroyVoice();

    const WaveFormat& format() const { return format_; }

private:
    friend class AudioEngine;

    struct Queued {
        AudioBuffer desc;
        uint32_t end = 0;  // one past the last frame played
        uint32_t loopBegin = 0;
        uint32_t loopEnd = 0;
        uint32_t loopsLeft = 0;  // kLoopInfinite never counts down
        bool started = false;
    };
    enum class Decode : uint8_t { Mono8, Mono16, Stereo8, Stereo16, Multi8, Multi16 };

    SourceVoice(AudioEngine& engine, const WaveFormat& format, VoiceCallback* callback, uint32_t outputRate);

    // Both run under the engine lock, on the mixing pass.
    void takeFlushedEnds(std::vector<VoiceEvent>& events);
    void mix(float* out, uint32_t frames, std::vector<VoiceEvent>& events);

    void fetch(std::vector<VoiceEvent>& events);
    void decode(const uint8_t* frame, float& left, float& right) const;
    void finishFront(std::vector<VoiceEvent>& events);
    void popFront();
    void resetInterpolation();

    AudioEngine& engine_;
    const WaveFormat format_;
    VoiceCallback* const callback_;
    Decode decode_;
    uint64_t step_;  // source frames per output frame, 32.32 fixed point

    bool running_ = false;
    bool destroyed_ = false;
    float volume_ = 1.0f;
    std::array<Queued, kMaxQueuedBuffers> queue_{};
    uint32_t head_ = 0;
    uint32_t count_ = 0;
    uint32_t cursor_ = 0;  // frame index in the front buffer
    uint64_t samplesPlayed_ = 0;
    std::vector<void*> flushed_;

    uint64_t phase_;
    float prevLeft_ = 0.0f, prevRight_ = 0.0f, nextLeft_ = 0.0f, nextRight_ = 0.0f;
};

}  // namespace Platform::Audio
