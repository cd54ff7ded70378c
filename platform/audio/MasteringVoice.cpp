#include "platform/audio/MasteringVoice.h"

#include <mutex>

#include "platform/audio/AudioEngine.h"

namespace Platform::Audio {

AudioResult MasteringVoice::setVolume(float volume) {
    std::lock_guard guard(engine_.lock());
    engine_.setMasterVolume(volume);
    return kAudioOk;
}

void MasteringVoice::getVolume(float* volume) {
    std::lock_guard guard(engine_.lock());
    *volume = engine_.masterVolume();
}

void MasteringVoice::destroyVoice() { engine_.destroyMasteringVoice(); }

}  // namespace Platform::Audio
