#include "engine/audio/XAudio2Source.h"

#include "engine/audio/XAudio2Device.h"

namespace Orvex::AudioSystem::XAudio2 {
namespace {

constexpr float kMaxFrequencyRatio = 4.0f;
constexpr uint32_t kLoopForever = 0xFFFFFFFFu;

}  // namespace

XAudio2Source::XAudio2Source(const std::shared_ptr<XAudio2Device>& device,
                             std::shared_ptr<Platform::Audio::AudioEngine> engine, uint32_t sourceType)
    : device_(device), engine_(std::move(engine)), sourceType_(sourceType) {
    device->registerSource(this);
}

XAudio2Source::~XAudio2Source() {
    destroyVoice();
    // The device may already be gone when a source outlives it.
    if (const std::shared_ptr<XAudio2Device> device = device_.lock()) {
        device->unregisterSource(this);
    }
}

void XAudio2Source::destroyVoice() {
    if (voice_ != nullptr) {
        voice_->stop();
        voice_->flushSourceBuffers();
        state_ = kAudioStateStopped;
        voice_->destroyVoice();  // waits for a callback of this voice that is still running
        voice_ = nullptr;
    }
}

bool XAudio2Source::createVoice(const Platform::Audio::WaveFormat& format) {
    Platform::Audio::SourceVoice* voice = nullptr;
    if (!engine_ ||
        !Platform::Audio::audioSucceeded(engine_->createSourceVoice(&voice, format, 0, kMaxFrequencyRatio, this))) {
        return false;
    }
    voice_ = voice;
    return true;
}

Platform::Audio::AudioBuffer XAudio2Source::bufferFor(const WaveContainer& wave) {
    Platform::Audio::AudioBuffer buffer;
    buffer.flags = Platform::Audio::kEndOfStream;
    buffer.audioBytes = wave.getSize();
    buffer.audioData = wave.getData();
    buffer.context = this;
    return buffer;
}

bool XAudio2Source::initialize(const std::shared_ptr<WaveContainer>& wave) {
    if (!createVoice(wave->getFormat())) {
        return false;
    }
    buffer_ = bufferFor(*wave);
    wave_ = wave;
    voice_->start();  // runs from now on; a sound plays as soon as its buffer is queued
    return true;
}

uint32_t XAudio2Source::queuedBuffers() {
    if (voice_ == nullptr) {
        return 0;
    }
    Platform::Audio::VoiceState state;
    voice_->getState(&state);
    return state.buffersQueued;
}

bool XAudio2Source::play() {
    if (voice_ == nullptr) {
        return false;
    }
    // Only an idle voice gets the buffer again: a sound still playing is not restarted. A buffer
    // the voice refuses (a loop count it cannot do) leaves the source stopped.
    if (queuedBuffers() == 0 && !Platform::Audio::audioSucceeded(voice_->submitSourceBuffer(buffer_))) {
        return false;
    }
    state_ = kAudioStatePlaying;
    return true;
}

bool XAudio2Source::playNew() {
    if (voice_ == nullptr) {
        return false;
    }
    stop();
    if (!Platform::Audio::audioSucceeded(voice_->submitSourceBuffer(buffer_))) {
        return false;
    }
    voice_->start();
    state_ = kAudioStatePlaying;
    return true;
}

bool XAudio2Source::stop() {
    if (voice_ != nullptr) {
        voice_->stop();
        voice_->flushSourceBuffers();
    }
    state_ = kAudioStateStopped;
    return true;
}

void XAudio2Source::pause() {
    if (voice_ != nullptr) {
        voice_->stop();
        state_ = kAudioStatePaused;
    }
}

void XAudio2Source::resume() {
    if (voice_ != nullptr) {
        voice_->start();
        state_ = kAudioStatePlaying;
    }
}

bool XAudio2Source::setLoopCount(uint32_t count) {
    if (getState() != kAudioStateStopped) {
        return false;
    }
    loopCount_ = count;
    buffer_.loopCount = count == kLoopForever ? Platform::Audio::kLoopInfinite : count;
    return true;
}

void XAudio2Source::onBufferEnd(void* context) {
    if (context == nullptr) {
        return;
    }
    // The end of a buffer removed by stop/playNew may arrive after a new one was queued: the
    // sound has only stopped when nothing is left in the voice.
    if (queuedBuffers() == 0) {
        state_ = kAudioStateStopped;
    }
}

}  // namespace Orvex::AudioSystem::XAudio2
