#pragma once
// A whole sound held in memory, played by one source voice. Also the base of the streamed
// source, which replaces the playing operations and the end-of-buffer callback.
#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/audio/WaveContainer.h"
#include "platform/audio/AudioEngine.h"

namespace Orvex::AudioSystem::XAudio2 {

class XAudio2Device;

class XAudio2Source : public IOrvexAudioSource, public Platform::Audio::VoiceCallback {
public:
    // Registers the source with the device.
    XAudio2Source(const std::shared_ptr<XAudio2Device>& device, std::shared_ptr<Platform::Audio::AudioEngine> engine,
                  uint32_t sourceType);
    ~XAudio2Source() override;
    XAudio2Source(const XAudio2Source&) = delete;
    XAudio2Source& operator=(const XAudio2Source&) = delete;

    // Makes the voice for the container's format and prepares the buffer that plays it whole.
    // False when the engine refuses the format: the source must not be used.
    bool initialize(const std::shared_ptr<WaveContainer>& wave);

    bool isNull() override { return false; }
    uint32_t getSourceType() override { return sourceType_; }
    uint32_t getState() override { return state_.load(); }
    bool play() override;
    bool playNew() override;
    bool stop() override;
    void pause() override;
    void resume() override;
    bool setLoopCount(uint32_t count) override;
    uint32_t getLoopCount() override { return loopCount_; }

    void onBufferEnd(void* context) override;

    const std::shared_ptr<WaveContainer>& getWave() const { return wave_; }
    // Loop count as handed to the voice (255 = forever).
    uint32_t getBufferLoopCount() const { return buffer_.loopCount; }

protected:
    // Creates the voice for a format, with this source as its callback; false when refused.
    bool createVoice(const Platform::Audio::WaveFormat& format);
    // The buffer that plays a container whole, ending the stream, with this source as context.
    Platform::Audio::AudioBuffer bufferFor(const WaveContainer& wave);
    uint32_t queuedBuffers();
    void destroyVoice();

    std::weak_ptr<XAudio2Device> device_;
    std::shared_ptr<Platform::Audio::AudioEngine> engine_;
    Platform::Audio::SourceVoice* voice_ = nullptr;
    std::shared_ptr<WaveContainer> wave_;
    Platform::Audio::AudioBuffer buffer_;
    const uint32_t sourceType_;
    std::atomic<uint32_t> state_{kAudioStateStopped};
    uint32_t loopCount_ = 0;
};

}  // namespace Orvex::AudioSystem::XAudio2
