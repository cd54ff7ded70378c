#pragma once
// The output voice: its format is the output's, its volume scales every sound of the engine.
#include <cstdint>

#include "platform/audio/AudioTypes.h"

namespace Platform::Audio {

class AudioEngine;

class MasteringVoice {
public:
    MasteringVoice(const MasteringVoice&) = delete;
    MasteringVoice& operator=(const MasteringVoice&) = delete;

    AudioResult setVolume(float volume);
    void getVolume(float* volume);
    // Closes the output. Source voices stay but are no longer mixed.
    void destroyVoice();

    uint32_t channels() const { return channels_; }
    uint32_t sampleRate() const { return sampleRate_; }

private:
    friend class AudioEngine;
    MasteringVoice(AudioEngine& engine, uint32_t channels, uint32_t sampleRate)
        : engine_(engine), channels_(channels), sampleRate_(sampleRate) {}

    AudioEngine& engine_;
    const uint32_t channels_;
    const uint32_t sampleRate_;
};

}  // namespace Platform::Audio
