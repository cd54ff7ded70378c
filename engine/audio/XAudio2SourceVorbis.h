#pragma once
// Background music decoded while it plays. A ring of 16 PCM blocks of 64 KiB is kept 14 deep
// in the voice; each block the voice finishes wakes the source's own streaming thread for one
// refill. At the end of the stream decoding goes on at the loop point, so the music loops
// until stopped; a stream whose loop point cannot be reached plays to its end and stops.
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "engine/audio/EntrySnapshotReader.h"
#include "engine/audio/VorbisDecoder.h"
#include "engine/audio/XAudio2Source.h"
#include "engine/thread/OxThread.h"

namespace Orvex::AudioSystem::XAudio2 {

inline constexpr uint32_t kStreamRingSize = 16;
inline constexpr uint32_t kStreamBlockBytes = 0x10000;
inline constexpr uint32_t kStreamQueueDepth = 14;

class XAudio2SourceVorbis : public XAudio2Source {
public:
    XAudio2SourceVorbis(const std::shared_ptr<XAudio2Device>& device,
                        std::shared_ptr<Platform::Audio::AudioEngine> engine);
    ~XAudio2SourceVorbis() override;

    // Called once, by the device; on false the source is discarded.
    bool open(const std::u16string& name, IO::StreamIO::IOrvexStreamReader& reader);

    // False when the stream has nothing to play (it was stopped, or holds no audio).
    bool play() override;
    bool playNew() override;
    // Stops for good: the thread ends and the decoder closes, so a later play stays silent.
    bool stop() override;

    void onBufferEnd(void* context) override;

    const Vorbis::VorbisDecoder& getDecoder() const { return decoder_; }
    Thread::OxThread& getThread() { return thread_; }

private:
    void streamingBody();
    // Tops the voice up to the queue depth; false once the stream has ended for good and the
    // voice has played everything queued: the caller then stops the source.
    bool refill();

    Thread::OxThread thread_;
    Vorbis::EntrySnapshotReader snapshot_;
    Vorbis::VorbisDecoder decoder_;
    std::array<Platform::Audio::AudioBuffer, kStreamRingSize> ring_{};
    std::array<std::shared_ptr<WaveContainer>, kStreamRingSize> ringData_{};
    uint32_t ringIndex_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> endSeenWhileStopping_{false};
    bool finished_ = false;  // no more data will be decoded; under refillLock_
    // The game thread refills once on play, the streaming thread on every wake-up.
    std::mutex refillLock_;
};

}  // namespace Orvex::AudioSystem::XAudio2
