#pragma once
// The audio engine stand-in: one mastering voice (the output, with the master gain) and any
// number of source voices, mixed in passes of about 10 ms.
//
// Output modes:
// - Device: an SDL audio device (float stereo at the device's rate) pulls the passes on SDL's
//   audio thread. When SDL audio cannot open, or the environment variable ORVEX_AUDIO is "null",
//   the mastering voice cannot be created and the caller falls back to silence.
// - Manual: no device; the owner calls pump() to run passes on its own thread. Deterministic,
//   for tests.
// - None: the mastering voice can never be created (the unavailable device, forced).
#include <atomic>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "platform/audio/AudioTypes.h"
#include "platform/audio/MasteringVoice.h"
#include "platform/audio/SourceVoice.h"

namespace Platform::Audio {

class SdlAudioOutput;

enum class OutputMode : uint8_t { Device, Manual, None };

struct EngineOptions {
    OutputMode mode = OutputMode::Device;
    uint32_t manualSampleRate = 48000;  // output rate of the manual mode
};

inline constexpr uint32_t kOutputChannels = 2;

class AudioEngine {
public:
    static std::shared_ptr<AudioEngine> create(const EngineOptions& options = {});
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // channels and sampleRate 0 take the output's own; anything else must match the stereo
    // output of this engine. One mastering voice at a time.
    AudioResult createMasteringVoice(MasteringVoice** voice, uint32_t channels = 0, uint32_t sampleRate = 0);
    // PCM only, 8-bit unsigned or 16-bit signed, 1..8 channels, block align = channels x bytes.
    AudioResult createSourceVoice(SourceVoice** voice, const WaveFormat& format, uint32_t flags,
                                  float maxFrequencyRatio, VoiceCallback* callback);

    // Manual mode: runs passes on the calling thread for out.size() / 2 stereo frames, writing the
    // mix into out. False when the engine is not in manual mode or has no mastering voice.
    bool pump(std::span<float> out);

    OutputMode mode() const { return options_.mode; }

private:
    friend class SourceVoice;
    friend class MasteringVoice;

    explicit AudioEngine(const EngineOptions& options);

    void renderPass(float* out, uint32_t frames);
    void destroySourceVoice(SourceVoice* voice);
    void destroyMasteringVoice();
    std::mutex& lock() { return lock_; }
    float masterVolume() const { return masterVolume_; }
    void setMasterVolume(float volume) { masterVolume_ = volume; }

    const EngineOptions options_;
    // Guards the voices, their queues and the master volume. Never held while a callback runs.
    std::mutex lock_;
    // Held for a whole pass (mixing and callbacks), so that destroying a voice can wait for the
    // callbacks of the pass in progress.
    std::recursive_mutex passLock_;
    std::atomic<std::thread::id> passThread_{};
    std::unique_ptr<MasteringVoice> mastering_;
    std::unique_ptr<SdlAudioOutput> output_;
    float masterVolume_ = 1.0f;
    uint32_t outputRate_ = 0;
    std::vector<SourceVoice*> voices_;
    std::vector<SourceVoice*> graveyard_;  // destroyed from a callback; freed at the pass's end
    std::vector<VoiceEvent> events_;
};

}  // namespace Platform::Audio
