#include "engine/audio/XAudio2SourceVorbis.h"

#include "platform/kernel/NativeThread.h"

namespace Orvex::AudioSystem::XAudio2 {
namespace {

constexpr int kStopWaitSteps = 10;  // at most about 10 ms for the voice's last callback

}  // namespace

XAudio2SourceVorbis::XAudio2SourceVorbis(const std::shared_ptr<XAudio2Device>& device,
                                         std::shared_ptr<Platform::Audio::AudioEngine> engine)
    : XAudio2Source(device, std::move(engine), kSourceTypeVorbis) {
    thread_.setFunction([this] { streamingBody(); });
}

XAudio2SourceVorbis::~XAudio2SourceVorbis() {
    stop();
    // The voice goes before the members its callback touches.
    destroyVoice();
}

bool XAudio2SourceVorbis::open(const std::u16string& name, IO::StreamIO::IOrvexStreamReader& reader) {
    if (!snapshot_.take(name, reader) || !decoder_.open(name, snapshot_)) {
        decoder_.close();
        snapshot_.close();
        return false;
    }
    const Platform::Audio::WaveFormat& format = decoder_.getFormat();
    auto wave = std::make_shared<WaveContainer>();
    wave->setFormat(format);
    wave->allocate(kStreamBlockBytes);
    if (!createVoice(format)) {
        return false;
    }
    wave_ = wave;
    buffer_ = bufferFor(*wave_);
    for (uint32_t i = 0; i < kStreamRingSize; ++i) {
        ringData_[i] = std::make_shared<WaveContainer>();
        ringData_[i]->setFormat(format);
        ringData_[i]->allocate(kStreamBlockBytes);
        ring_[i] = {};
        ring_[i].flags = Platform::Audio::kEndOfStream;
        ring_[i].context = this;
    }
    ringIndex_ = 0;
    // The thread parks until the first play wakes it.
    thread_.suspend(0);
    return thread_.start() == 0;
}

bool XAudio2SourceVorbis::refill() {
    std::lock_guard guard(refillLock_);
    bool seekedWithoutData = false;
    while (!finished_ && queuedBuffers() < kStreamQueueDepth) {
        WaveContainer& block = *ringData_[ringIndex_];
        uint32_t bytesRead = 0;
        if (!decoder_.read(block.getData(), block.getSize(), bytesRead)) {
            finished_ = true;  // closed, or at an end the loop point could not be left from
            break;
        }
        if (bytesRead == 0) {
            // The stream ended exactly at a block boundary: go on at the loop point. A stream
            // that gives nothing even right after that seek can never play.
            if (seekedWithoutData || !decoder_.seekTime(decoder_.getLoopStart())) {
                finished_ = true;
                break;
            }
            seekedWithoutData = true;
            continue;
        }
        seekedWithoutData = false;
        Platform::Audio::AudioBuffer& buffer = ring_[ringIndex_];
        buffer.audioData = block.getData();
        buffer.audioBytes = bytesRead;
        voice_->submitSourceBuffer(buffer);
        ringIndex_ = (ringIndex_ + 1) % kStreamRingSize;
        // When the loop point cannot be reached the track still plays to its end.
        if (decoder_.isEndOfStream() && !decoder_.seekTime(decoder_.getLoopStart())) {
            finished_ = true;
        }
    }
    return !finished_ || queuedBuffers() > 0;
}

void XAudio2SourceVorbis::streamingBody() {
    while (thread_.keepRunning()) {
        if (getState() == kAudioStatePlaying && !refill()) {
            stop();
        }
        thread_.suspend(0);
    }
}

bool XAudio2SourceVorbis::play() {
    if (voice_ == nullptr) {
        return false;
    }
    // A playing stream is left alone: a second refill here would race the streaming thread.
    if (getState() == kAudioStatePlaying) {
        return true;
    }
    stopping_ = false;
    endSeenWhileStopping_ = false;
    if (!refill()) {
        stop();  // nothing to play: the source stays stopped
        return false;
    }
    thread_.resume();
    voice_->start();
    state_ = kAudioStatePlaying;
    return true;
}

bool XAudio2SourceVorbis::playNew() { return play(); }

bool XAudio2SourceVorbis::stop() {
    stopping_ = true;
    const bool result = XAudio2Source::stop();
    if (voice_ != nullptr && queuedBuffers() > 0) {
        for (int i = 0; i < kStopWaitSteps && !endSeenWhileStopping_; ++i) {
            Platform::Kernel::sleepMs(1);
        }
    }
    thread_.stop();
    {
        std::lock_guard guard(refillLock_);
        decoder_.close();
    }
    // A refill that was under way when the voice was flushed may have queued more.
    if (voice_ != nullptr) {
        voice_->flushSourceBuffers();
    }
    return result;
}

void XAudio2SourceVorbis::onBufferEnd(void* context) {
    if (context == nullptr) {
        return;
    }
    if (stopping_) {
        endSeenWhileStopping_ = true;
        return;
    }
    thread_.resume();
}

}  // namespace Orvex::AudioSystem::XAudio2
