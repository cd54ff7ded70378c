#pragma once
// Formats, buffers, results and callbacks of the audio engine stand-in.
#include <cstdint>

namespace Platform::Audio {

// Results are 32-bit codes: 0 success, negative failure (the engine only tests the sign).
using AudioResult = int32_t;
inline constexpr AudioResult kAudioOk = 0;
inline constexpr AudioResult kAudioInvalidCall = static_cast<AudioResult>(0x88960001u);
inline constexpr AudioResult kAudioDeviceUnavailable = static_cast<AudioResult>(0x88960004u);
inline constexpr bool audioSucceeded(AudioResult result) { return result >= 0; }

inline constexpr uint16_t kWaveFormatPcm = 1;

// The stored layout of a PCM format description (a WAV file's "fmt " chunk plus the extra size).
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

// Buffer flag: no more data follows this buffer (the voice reports the end of the stream).
inline constexpr uint32_t kEndOfStream = 0x40;
inline constexpr uint32_t kLoopInfinite = 255;
inline constexpr uint32_t kMaxLoopCount = 254;
inline constexpr uint32_t kMaxQueuedBuffers = 64;
inline constexpr uint32_t kMaxBufferBytes = 0x80000000u;
inline constexpr uint32_t kMinSampleRate = 1000;
inline constexpr uint32_t kMaxSampleRate = 200000;
inline constexpr uint32_t kMaxChannels = 8;

// One submitted buffer. Positions and lengths are in frames; a length of 0 means "to the end".
// The caller keeps audioData alive until the buffer's end callback.
struct AudioBuffer {
    uint32_t flags = 0;
    uint32_t audioBytes = 0;
    const uint8_t* audioData = nullptr;
    uint32_t playBegin = 0;
    uint32_t playLength = 0;
    uint32_t loopBegin = 0;
    uint32_t loopLength = 0;
    uint32_t loopCount = 0;  // 0 plays once; 1..254 extra passes of the loop region; 255 forever
    void* context = nullptr;
};

struct VoiceState {
    void* currentBufferContext = nullptr;
    uint32_t buffersQueued = 0;  // includes the buffer being played
    uint64_t samplesPlayed = 0;
};

// Notifications of a source voice. They arrive on the mixing thread (or the caller of the
// manual pump), never while the engine's own lock is held, so they may call back into the
// engine. The contexts are those of the submitted buffers.
class VoiceCallback {
public:
    virtual ~VoiceCallback() = default;
    virtual void onBufferStart(void* /*context*/) {}
    virtual void onBufferEnd(void* /*context*/) {}
    virtual void onLoopEnd(void* /*context*/) {}
    virtual void onStreamEnd() {}
};

}  // namespace Platform::Audio
