#include "platform/audio/AudioEngine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/audio/SdlAudioOutput.h"

namespace Platform::Audio {
namespace {

constexpr float kMinFrequencyRatio = 1.0f / 1024.0f;
constexpr float kMaxFrequencyRatio = 1024.0f;
constexpr size_t kEventReserve = 256;

bool forcedSilent() {
    const char* value = std::getenv("ORVEX_AUDIO");
    return value != nullptr && std::strcmp(value, "null") == 0;
}

bool validSourceFormat(const WaveFormat& format) {
    if (format.formatTag != kWaveFormatPcm) {
        return false;
    }
    if (format.channels == 0 || format.channels > kMaxChannels) {
        return false;
    }
    if (format.samplesPerSec < kMinSampleRate || format.samplesPerSec > kMaxSampleRate) {
        return false;
    }
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) {
        return false;
    }
    return format.blockAlign == format.channels * (format.bitsPerSample / 8);
}

}  // namespace

std::shared_ptr<AudioEngine> AudioEngine::create(const EngineOptions& options) {
    return std::shared_ptr<AudioEngine>(new AudioEngine(options));
}

AudioEngine::AudioEngine(const EngineOptions& options) : options_(options) { events_.reserve(kEventReserve); }

AudioEngine::~AudioEngine() {
    destroyMasteringVoice();
    for (SourceVoice* voice : voices_) {
        delete voice;
    }
    for (SourceVoice* voice : graveyard_) {
        delete voice;
    }
}

AudioResult AudioEngine::createMasteringVoice(MasteringVoice** voice, uint32_t channels, uint32_t sampleRate) {
    if (voice == nullptr) {
        return kAudioInvalidCall;
    }
    *voice = nullptr;
    if (channels != 0 && channels != kOutputChannels) {
        return kAudioInvalidCall;
    }
    {
        std::lock_guard guard(lock_);
        if (mastering_) {
            return kAudioInvalidCall;
        }
    }
    uint32_t rate = 0;
    std::unique_ptr<SdlAudioOutput> output;
    switch (options_.mode) {
        case OutputMode::None:
            return kAudioDeviceUnavailable;
        case OutputMode::Manual:
            rate = options_.manualSampleRate;
            break;
        case OutputMode::Device:
            if (forcedSilent()) {
                return kAudioDeviceUnavailable;
            }
            output = SdlAudioOutput::open([this](float* out, uint32_t frames) { renderPass(out, frames); });
            if (!output) {
                return kAudioDeviceUnavailable;
            }
            rate = output->sampleRate();
            break;
    }
    if (sampleRate != 0 && sampleRate != rate) {
        return kAudioInvalidCall;
    }
    {
        std::lock_guard guard(lock_);
        mastering_.reset(new MasteringVoice(*this, kOutputChannels, rate));
        outputRate_ = rate;
        masterVolume_ = 1.0f;
        output_ = std::move(output);
        *voice = mastering_.get();
    }
    if (output_) {
        output_->start();
    }
    return kAudioOk;
}

AudioResult AudioEngine::createSourceVoice(SourceVoice** voice, const WaveFormat& format, uint32_t /*flags*/,
                                           float maxFrequencyRatio, VoiceCallback* callback) {
    if (voice == nullptr) {
        return kAudioInvalidCall;
    }
    *voice = nullptr;
    if (!validSourceFormat(format) || !(maxFrequencyRatio >= kMinFrequencyRatio) ||
        maxFrequencyRatio > kMaxFrequencyRatio) {
        return kAudioInvalidCall;
    }
    std::lock_guard guard(lock_);
    if (!mastering_) {
        return kAudioInvalidCall;
    }
    auto* created = new SourceVoice(*this, format, callback, outputRate_);
    voices_.push_back(created);
    *voice = created;
    return kAudioOk;
}

bool AudioEngine::pump(std::span<float> out) {
    if (options_.mode != OutputMode::Manual) {
        return false;
    }
    {
        std::lock_guard guard(lock_);
        if (!mastering_) {
            return false;
        }
    }
    renderPass(out.data(), static_cast<uint32_t>(out.size() / kOutputChannels));
    return true;
}

void AudioEngine::renderPass(float* out, uint32_t frames) {
    std::lock_guard pass(passLock_);
    passThread_ = std::this_thread::get_id();
    events_.clear();
    std::fill(out, out + static_cast<size_t>(frames) * kOutputChannels, 0.0f);
    {
        std::lock_guard guard(lock_);
        for (SourceVoice* voice : voices_) {
            voice->takeFlushedEnds(events_);
        }
        if (mastering_) {
            for (SourceVoice* voice : voices_) {
                voice->mix(out, frames, events_);
            }
            const float gain = masterVolume_;
            for (size_t i = 0; i < static_cast<size_t>(frames) * kOutputChannels; ++i) {
                out[i] = std::clamp(out[i] * gain, -1.0f, 1.0f);
            }
        }
    }
    // Callbacks run without the engine lock: they may submit, stop or destroy voices.
    for (const VoiceEvent& event : events_) {
        SourceVoice* voice = event.voice;
        if (voice->destroyed_ || voice->callback_ == nullptr) {
            continue;
        }
        switch (event.kind) {
            case VoiceEvent::Kind::BufferStart:
                voice->callback_->onBufferStart(event.context);
                break;
            case VoiceEvent::Kind::BufferEnd:
                voice->callback_->onBufferEnd(event.context);
                break;
            case VoiceEvent::Kind::LoopEnd:
                voice->callback_->onLoopEnd(event.context);
                break;
            case VoiceEvent::Kind::StreamEnd:
                voice->callback_->onStreamEnd();
                break;
        }
    }
    events_.clear();
    for (SourceVoice* voice : graveyard_) {
        delete voice;
    }
    graveyard_.clear();
    passThread_ = std::thread::id{};
}

void AudioEngine::destroySourceVoice(SourceVoice* voice) {
    const bool fromCallback = passThread_.load() == std::this_thread::get_id();
    // Outside a callback, wait for the pass in progress, so no callback of the voice still runs.
    std::unique_lock<std::recursive_mutex> pass(passLock_, std::defer_lock);
    if (!fromCallback) {
        pass.lock();
    }
    std::lock_guard guard(lock_);
    const auto it = std::find(voices_.begin(), voices_.end(), voice);
    if (it == voices_.end()) {
        return;
    }
    voices_.erase(it);
    if (fromCallback) {
        voice->destroyed_ = true;
        graveyard_.push_back(voice);
    } else {
        delete voice;
    }
}

void AudioEngine::destroyMasteringVoice() {
    std::unique_ptr<SdlAudioOutput> output;
    {
        std::lock_guard guard(lock_);
        output = std::move(output_);
    }
    output.reset();  // closing the device waits for a pass in progress; none starts afterwards
    std::lock_guard guard(lock_);
    mastering_.reset();
}

}  // namespace Platform::Audio
