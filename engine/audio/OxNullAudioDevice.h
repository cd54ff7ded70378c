#pragma once
// The device used when no audio output can be had: every source is a null source.
#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/audio/OxNullAudioSource.h"

namespace Orvex::AudioSystem {

class OxNullAudioDevice : public IOrvexAudioDevice {
public:
    bool initialize() override { return true; }
    void terminate() override {}
    void update(float) override {}
    std::shared_ptr<IOrvexAudioSource> createSource(const std::u16string&, IO::StreamIO::IOrvexStreamReader*,
                                                    uint32_t sourceType) override {
        return std::make_shared<OxNullAudioSource>(sourceType);
    }
    std::shared_ptr<IOrvexAudioSource> createNullSource(uint32_t sourceType) override {
        return std::make_shared<OxNullAudioSource>(sourceType);
    }
    void clearWaveCache() override {}
    void releaseUnusedWaves() override {}
    bool hasWave(const std::u16string&) override { return false; }
    void releaseWave(const std::u16string&) override {}
    void stopAll() override {}
    std::shared_ptr<Platform::Audio::AudioEngine> getEngine() override { return nullptr; }
};

}  // namespace Orvex::AudioSystem
