#pragma once
// The audio device over the engine stand-in: one mastering voice at the game's master volume,
// sources made from WAV and Ogg Vorbis files, and the cache of loaded waves.
#include <list>
#include <map>
#include <memory>
#include <string>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/audio/WaveContainer.h"
#include "engine/thread/OxCriticalSection.h"
#include "platform/audio/AudioEngine.h"

namespace Orvex::AudioSystem::XAudio2 {

class XAudio2Source;

// The master volume until the settings file provides one ("MasterVolumeBGM" 50 %).
inline constexpr float kDefaultMasterVolume = 0.5f;

class XAudio2Device : public IOrvexAudioDevice, public std::enable_shared_from_this<XAudio2Device> {
public:
    explicit XAudio2Device(const Platform::Audio::EngineOptions& options = {},
                           float masterVolume = kDefaultMasterVolume);
    ~XAudio2Device() override;
    XAudio2Device(const XAudio2Device&) = delete;
    XAudio2Device& operator=(const XAudio2Device&) = delete;

    bool initialize() override;
    void terminate() override;
    void update(float elapsed) override;
    std::shared_ptr<IOrvexAudioSource> createSource(const std::u16string& name,
                                                    IO::StreamIO::IOrvexStreamReader* reader,
                                                    uint32_t sourceType) override;
    std::shared_ptr<IOrvexAudioSource> createNullSource(uint32_t sourceType) override;
    void clearWaveCache() override;
    void releaseUnusedWaves() override;
    bool hasWave(const std::u16string& name) override;
    void releaseWave(const std::u16string& name) override;
    void stopAll() override;
    std::shared_ptr<Platform::Audio::AudioEngine> getEngine() override;

    // The source list is kept by the sources themselves (constructor and destructor).
    void registerSource(XAudio2Source* source);
    void unregisterSource(XAudio2Source* source);
    Platform::Audio::MasteringVoice* getMasteringVoice() { return masteringVoice_; }

private:
    std::shared_ptr<IOrvexAudioSource> createWaveSource(const std::u16string& name,
                                                        IO::StreamIO::IOrvexStreamReader& reader);
    std::shared_ptr<IOrvexAudioSource> createVorbisSource(const std::u16string& name,
                                                          IO::StreamIO::IOrvexStreamReader& reader);

    const Platform::Audio::EngineOptions options_;
    const float masterVolume_;
    Thread::OxCriticalSection lock_;
    std::shared_ptr<Platform::Audio::AudioEngine> engine_;
    Platform::Audio::MasteringVoice* masteringVoice_ = nullptr;
    std::list<XAudio2Source*> sources_;
    std::map<std::u16string, std::shared_ptr<WaveContainer>> waveCache_;
};

}  // namespace Orvex::AudioSystem::XAudio2
