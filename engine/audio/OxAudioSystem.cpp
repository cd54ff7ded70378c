#include "engine/audio/OxAudioSystem.h"

#include "engine/audio/OxNullAudioDevice.h"
#include "engine/audio/XAudio2Device.h"

namespace Orvex::AudioSystem {

OxAudioSystem::~OxAudioSystem() { terminate(); }

int32_t OxAudioSystem::initialize(float masterVolume) {
    if (device_) {
        return 0;
    }
    auto device = std::make_shared<XAudio2::XAudio2Device>(Platform::Audio::EngineOptions{}, masterVolume);
    if (device->initialize()) {
        device_ = std::move(device);
    } else {
        device.reset();
        device_ = std::make_shared<OxNullAudioDevice>();
    }
    return 0;
}

void OxAudioSystem::terminate() {
    if (device_) {
        device_->terminate();
        device_.reset();
    }
}

void OxAudioSystem::update(float elapsed) {
    if (device_) {
        device_->update(elapsed);
    }
}

}  // namespace Orvex::AudioSystem
