#include "platform/audio/SourceVoice.h"

#include <mutex>

#include "platform/audio/AudioEngine.h"

namespace Platform::Audio {
namespace {

constexpr uint64_t kPhaseOne = uint64_t{1} << 32;
constexpr float kPhaseScale = 1.0f / 4294967296.0f;
constexpr float kScale16 = 1.0f / 32768.0f;
constexpr float kScale8 = 1.0f / 128.0f;

inline float sample16(const uint8_t* p) {
    return static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)))) * kScale16;
}

inline float sample8(const uint8_t* p) { return static_cast<float>(static_cast<int>(p[0]) - 128) * kScale8; }

}  // namespace

SourceVoice::SourceVoice(AudioEngine& engine, const WaveFormat& format, VoiceCallback* callback, uint32_t outputRate)
    : engine_(engine),
      format_(format),
      callback_(callback),
      step_((static_cast<uint64_t>(format.samplesPerSec) << 32) / outputRate),
      phase_(kPhaseOne) {
    const bool wide = format.bitsPerSample == 16;
    switch (format.channels) {
        case 1:
            decode_ = wide ? Decode::Mono16 : Decode::Mono8;
            break;
        case 2:
            decode_ = wide ? Decode::Stereo16 : Decode::Stereo8;
            break;
        default:
            decode_ = wide ? Decode::Multi16 : Decode::Multi8;
            break;
    }
    flushed_.reserve(kMaxQueuedBuffers);
}

AudioResult SourceVoice::start() {
    std::lock_guard guard(engine_.lock());
    running_ = true;
    return kAudioOk;
}

AudioResult SourceVoice::stop() {
    std::lock_guard guard(engine_.lock());
    running_ = false;
    return kAudioOk;
}

AudioResult SourceVoice::submitSourceBuffer(const AudioBuffer& buffer) {
    if (buffer.audioData == nullptr || buffer.audioBytes == 0 || buffer.audioBytes > kMaxBufferBytes) {
        return kAudioInvalidCall;
    }
    // A trailing partial frame is not played.
    const uint32_t frames = buffer.audioBytes / format_.blockAlign;
    if (frames == 0 || buffer.playBegin >= frames) {
        return kAudioInvalidCall;
    }
    const uint32_t available = frames - buffer.playBegin;
    if (buffer.playLength > available || buffer.loopCount > kLoopInfinite) {
        return kAudioInvalidCall;
    }
    Queued entry;
    entry.desc = buffer;
    entry.end = buffer.playBegin + (buffer.playLength == 0 ? available : buffer.playLength);
    if (buffer.loopCount == 0) {
        if (buffer.loopBegin != 0 || buffer.loopLength != 0) {
            return kAudioInvalidCall;
        }
        entry.loopBegin = buffer.playBegin;
        entry.loopEnd = entry.end;
    } else {
        if (buffer.loopBegin < buffer.playBegin || buffer.loopBegin >= entry.end ||
            buffer.loopLength > entry.end - buffer.loopBegin) {
            return kAudioInvalidCall;
        }
        entry.loopBegin = buffer.loopBegin;
        entry.loopEnd = buffer.loopLength == 0 ? entry.end : buffer.loopBegin + buffer.loopLength;
        entry.loopsLeft = buffer.loopCount;
    }

    std::lock_guard guard(engine_.lock());
    if (count_ == kMaxQueuedBuffers) {
        return kAudioInvalidCall;
    }
    if (count_ == 0) {
        cursor_ = entry.desc.playBegin;
    }
    queue_[(head_ + count_) % kMaxQueuedBuffers] = entry;
    ++count_;
    return kAudioOk;
}

AudioResult SourceVoice::flushSourceBuffers() {
    std::lock_guard guard(engine_.lock());
    const bool keepFront = running_ && count_ > 0 && queue_[head_].started;
    const uint32_t keep = keepFront ? 1 : 0;
    for (uint32_t i = keep; i < count_; ++i) {
        flushed_.push_back(queue_[(head_ + i) % kMaxQueuedBuffers].desc.context);
    }
    count_ = keep;
    if (!keepFront) {
        resetInterpolation();
    }
    return kAudioOk;
}

void SourceVoice::getState(VoiceState* state) {
    std::lock_guard guard(engine_.lock());
    state->buffersQueued = count_;
    state->currentBufferContext = count_ > 0 ? queue_[head_].desc.context : nullptr;
    state->samplesPlayed = samplesPlayed_;
}

AudioResult SourceVoice::setVolume(float volume) {
    std::lock_guard guard(engine_.lock());
    volume_ = volume;
    return kAudioOk;
}

void SourceVoice::getVolume(float* volume) {
    std::lock_guard guard(engine_.lock());
    *volume = volume_;
}

void SourceVoice::destroyVoice() { engine_.destroySourceVoice(this); }

void SourceVoice::resetInterpolation() {
    prevLeft_ = prevRight_ = nextLeft_ = nextRight_ = 0.0f;
    phase_ = kPhaseOne;
}

void SourceVoice::takeFlushedEnds(std::vector<VoiceEvent>& events) {
    for (void* context : flushed_) {
        events.push_back({this, VoiceEvent::Kind::BufferEnd, context});
    }
    flushed_.clear();
}

void SourceVoice::popFront() {
    head_ = (head_ + 1) % kMaxQueuedBuffers;
    --count_;
    if (count_ > 0) {
        cursor_ = queue_[head_].desc.playBegin;
    }
}

void SourceVoice::finishFront(std::vector<VoiceEvent>& events) {
    const Queued& front = queue_[head_];
    events.push_back({this, VoiceEvent::Kind::BufferEnd, front.desc.context});
    if ((front.desc.flags & kEndOfStream) != 0) {
        events.push_back({this, VoiceEvent::Kind::StreamEnd, nullptr});
    }
    popFront();
}

inline void SourceVoice::decode(const uint8_t* frame, float& left, float& right) const {
    switch (decode_) {
        case Decode::Mono16:
            left = right = sample16(frame);
            return;
        case Decode::Stereo16:
            left = sample16(frame);
            right = sample16(frame + 2);
            return;
        case Decode::Mono8:
            left = right = sample8(frame);
            return;
        case Decode::Stereo8:
            left = sample8(frame);
            right = sample8(frame + 1);
            return;
        case Decode::Multi16:
        case Decode::Multi8: {
            // Even channels to the left, odd ones to the right, each side averaged.
            const bool wide = decode_ == Decode::Multi16;
            const uint32_t bytes = wide ? 2 : 1;
            float sums[2] = {0.0f, 0.0f};
            for (uint32_t c = 0; c < format_.channels; ++c) {
                const uint8_t* p = frame + c * bytes;
                sums[c & 1] += wide ? sample16(p) : sample8(p);
            }
            const uint32_t leftCount = (format_.channels + 1) / 2;
            const uint32_t rightCount = format_.channels / 2;
            left = sums[0] / static_cast<float>(leftCount);
            right = sums[1] / static_cast<float>(rightCount);
            return;
        }
    }
}

inline void SourceVoice::fetch(std::vector<VoiceEvent>& events) {
    if (count_ == 0) {
        // Starving: the voice fades to silence and waits for data.
        nextLeft_ = nextRight_ = 0.0f;
        return;
    }
    Queued& front = queue_[head_];
    if (!front.started) {
        front.started = true;
        events.push_back({this, VoiceEvent::Kind::BufferStart, front.desc.context});
    }
    decode(front.desc.audioData + static_cast<size_t>(cursor_) * format_.blockAlign, nextLeft_, nextRight_);
    ++cursor_;
    ++samplesPlayed_;
    if (cursor_ == front.loopEnd && front.loopsLeft > 0) {
        events.push_back({this, VoiceEvent::Kind::LoopEnd, front.desc.context});
        if (front.loopsLeft != kLoopInfinite) {
            --front.loopsLeft;
        }
        cursor_ = front.loopBegin;
    } else if (cursor_ == front.end) {
        finishFront(events);
    }
}

void SourceVoice::mix(float* out, uint32_t frames, std::vector<VoiceEvent>& events) {
    if (!running_) {
        return;
    }
    if (count_ == 0 && prevLeft_ == 0.0f && prevRight_ == 0.0f && nextLeft_ == 0.0f && nextRight_ == 0.0f) {
        return;  // idle and already silent
    }
    const float volume = volume_;
    for (uint32_t i = 0; i < frames; ++i) {
        while (phase_ >= kPhaseOne) {
            prevLeft_ = nextLeft_;
            prevRight_ = nextRight_;
            fetch(events);
            phase_ -= kPhaseOne;
        }
        const float frac = static_cast<float>(phase_) * kPhaseScale;
        out[2 * i] += (prevLeft_ + (nextLeft_ - prevLeft_) * frac) * volume;
        out[2 * i + 1] += (prevRight_ + (nextRight_ - prevRight_) * frac) * volume;
        phase_ += step_;
    }
}

}  // namespace Platform::Audio
