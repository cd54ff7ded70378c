#pragma once
// Plays an Ogg movie (one Theora video stream, at most one Vorbis audio stream) read through a
// stream reader: a controller, a video, an audio decoding and a voice-feeding thread decode in
// the background; `draw`, called once per game frame, puts the newest converted picture on the
// device, and the sound goes to a source voice of its own.
//
// Life: construct, setLoop, open, draw every frame (also after the movie has ended: the last
// picture stays), stop, close, delete. `close` frees nothing while one of the player's threads
// still runs.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/io/OxStreamIO.h"
#include "engine/movie/CodecState.h"
#include "engine/movie/MovieClock.h"
#include "engine/movie/StreamingVoiceContext.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/audio/AudioEngine.h"
#include "platform/gpu/GpuDevice.h"
#include "platform/kernel/NativeThread.h"

namespace Theora {

class TheoraPlayer {
public:
    // Neither the device nor the engine is owned; the engine may be null (no sound device), in
    // which case only movies without sound open. The clock is replaced in tests.
    TheoraPlayer(Platform::Gpu::GpuDevice* device, Platform::Audio::AudioEngine* engine,
                 std::shared_ptr<MovieClock> clock = MovieClock::system());
    TheoraPlayer(const TheoraPlayer&) = delete;
    TheoraPlayer& operator=(const TheoraPlayer&) = delete;
    ~TheoraPlayer();

    // Opens `path` on `reader` (borrowed; the player opens it now and closes it in `close`)
    // and starts playing into the rectangle at (x, y). A width or height not above 0 takes the
    // movie's own.
    bool open(const std::u16string& path, Orvex::IO::StreamIO::IOrvexStreamReader* reader, int32_t x, int32_t y,
              int32_t width, int32_t height);
    // Effective at the next end of the file data.
    void setLoop(bool loop) { loop_ = loop; }
    void draw();
    // Asks every thread to end; they do so by themselves.
    void stop();
    // Stops, waits for every thread, then frees the decoders, the device objects and the voice.
    void close();

    // Cleared when the movie has ended or was stopped.
    bool isPlaying() const { return playing_.load(); }
    bool hasVideo() const { return hasVideo_; }
    bool hasAudio() const { return hasAudio_; }
    uint32_t getPictureWidth() const { return pictureWidth_; }
    uint32_t getPictureHeight() const { return pictureHeight_; }
    // Pictures converted so far (diagnostics).
    uint32_t getShownFrameCount() const { return shownFrames_.load(); }

private:
    struct AudioEntry {
        std::vector<int16_t> data;
        uint32_t byteCount = 0;
    };
    struct VoiceBlock {
        std::unique_ptr<uint8_t[]> storage;
        uint8_t* data = nullptr;  // storage moved up to a 4096-byte boundary
        int32_t byteCount = 0;
    };

    // Each set-up step names what failed in openFault_ and returns false.
    bool refuse(const char* fault);
    bool setUpDecoders();
    bool readHeaders();
    bool setUpSurfaces(int32_t x, int32_t y, int32_t width, int32_t height);
    bool setUpVoice();
    bool startThreads();
    void releaseAll();

    // Decoding helpers; the caller holds decodeLock_.
    bool feedSync();
    void queuePage();
    bool readPacket(ogg_stream_state& stream, ogg_packet& packet);

    void controllerThread();
    void videoThread();
    void audioThread();
    void voiceThread();
    bool takeAudio(VoiceBlock& block);
    double elapsedSeconds() const;

    Platform::Gpu::GpuDevice* const device_;
    Platform::Audio::AudioEngine* const engine_;
    const std::shared_ptr<MovieClock> clock_;

    // Decoding part.
    Orvex::IO::StreamIO::IOrvexStreamReader* reader_ = nullptr;
    std::unique_ptr<MovieCodecs> codecs_;  // from open until close
    ogg_page page_{};
    const char* openFault_ = nullptr;
    bool hasVideo_ = false;
    bool hasAudio_ = false;
    std::atomic<bool> playing_{false};
    std::atomic<bool> loop_{false};
    std::atomic<uint32_t> startTime_{0};
    std::recursive_mutex decodeLock_;

    std::shared_ptr<Platform::Kernel::ThreadHandle> controllerThread_;
    Platform::Kernel::KernelEvent stopEvent_{true, false};
    std::shared_ptr<Platform::Kernel::ThreadHandle> videoThread_;

    std::mutex frameLock_;
    std::vector<uint32_t> rgbFrame_;
    uint32_t pictureWidth_ = 0;
    uint32_t pictureHeight_ = 0;
    uint32_t chromaShiftX_ = 1;
    uint32_t chromaShiftY_ = 1;
    std::atomic<uint32_t> shownFrames_{0};

    std::shared_ptr<Platform::Kernel::ThreadHandle> audioThread_;
    Platform::Kernel::KernelEvent bufferConsumed_{false, false};
    Platform::Kernel::KernelEvent bufferFilled_{false, false};
    std::vector<AudioEntry> audioRing_;
    uint32_t audioBufferSamples_ = 0;
    uint32_t audioBufferCount_ = 0;
    std::atomic<uint8_t> writeIndex_{0};
    std::atomic<uint8_t> readIndex_{0};

    // Presentation part.
    Orvex::Graphics::OxRefPtr<Platform::Gpu::GpuTexture> videoTexture_;
    Orvex::Graphics::OxRefPtr<Platform::Gpu::GpuSurface> systemSurface_;
    Orvex::Graphics::OxRefPtr<Platform::Gpu::GpuVertexBuffer> vertexBuffer_;  // the picture's quad, a strip of 4
    Platform::Audio::SourceVoice* voice_ = nullptr;
    std::unique_ptr<StreamingVoiceContext> voiceContext_;
    std::shared_ptr<Platform::Kernel::ThreadHandle> voiceThread_;
    std::atomic<uint32_t> voiceThreadRunning_{0};
    Platform::Kernel::KernelEvent voiceStopEvent_{true, false};
    std::vector<VoiceBlock> voiceBlocks_;
    uint32_t voiceBlockIndex_ = 0;
};

}  // namespace Theora
