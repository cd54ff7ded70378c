#pragma once
// The audio device: makes sources from files and keeps the cache of loaded waves.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/io/OxStreamIO.h"

namespace Platform::Audio {
class AudioEngine;
}

namespace Orvex::AudioSystem {

class IOrvexAudioDevice {
public:
    virtual ~IOrvexAudioDevice() = default;

    virtual bool initialize() = 0;
    virtual void terminate() = 0;
    virtual void update(float elapsed) = 0;
    // Never null: every failure gives a null source of the asked type.
    virtual std::shared_ptr<IOrvexAudioSource> createSource(const std::u16string& name,
                                                            IO::StreamIO::IOrvexStreamReader* reader,
                                                            uint32_t sourceType) = 0;
    virtual std::shared_ptr<IOrvexAudioSource> createNullSource(uint32_t sourceType) = 0;
    virtual void clearWaveCache() = 0;
    virtual void releaseUnusedWaves() = 0;
    virtual bool hasWave(const std::u16string& name) = 0;
    virtual void releaseWave(const std::u16string& name) = 0;
    virtual void stopAll() = 0;
    // The engine the movie player makes its own voice on; null when the device is silent.
    virtual std::shared_ptr<Platform::Audio::AudioEngine> getEngine() = 0;
};

}  // namespace Orvex::AudioSystem
