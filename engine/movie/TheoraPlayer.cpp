#include "engine/movie/TheoraPlayer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/movie/MoviePacing.h"
#include "engine/movie/PcmConversion.h"
#include "engine/movie/YuvToRgbTables.h"

namespace Theora {

namespace {

namespace Kernel = Platform::Kernel;
namespace Gpu = Platform::Gpu;

// libvorbis decodes on the stack: the threads get far more than the small stacks once used.
constexpr size_t kThreadStackBytes = 512 * 1024;
constexpr uint32_t kFeedBytes = 4096;
constexpr uint32_t kRingEntries = 8;
constexpr uint32_t kRingEntrySamples = 4096;
constexpr uint32_t kVoiceBlockCount = 8;
constexpr uint32_t kVoiceBlockBytes = 8192;
constexpr uint32_t kVoiceBlockAlign = 4096;
constexpr uint32_t kMaxQueuedVoiceBuffers = 6;
constexpr float kVoiceVolume = 0.825f;
constexpr uint32_t kQuadFvf = Gpu::kFvfXyzRhw | Gpu::kFvfDiffuse | Gpu::kFvfTex1;
constexpr uint32_t kQuadStride = 28;
constexpr uint32_t kQuadVertices = 4;
static_assert(sizeof(Gpu::TexturedVertex) == kQuadStride);

}  // namespace

TheoraPlayer::TheoraPlayer(Gpu::GpuDevice* device, Platform::Audio::AudioEngine* engine,
                           std::shared_ptr<MovieClock> clock)
    : device_(device), engine_(engine), clock_(clock ? std::move(clock) : MovieClock::system()) {}

TheoraPlayer::~TheoraPlayer() { close(); }

bool TheoraPlayer::open(const std::u16string& path, Orvex::IO::StreamIO::IOrvexStreamReader* reader, int32_t x,
                        int32_t y, int32_t width, int32_t height) {
    if (reader == nullptr || controllerThread_ || reader_ != nullptr) {
        return false;
    }
    stopEvent_.reset();
    voiceStopEvent_.reset();
    if (!reader->open(path)) {
        return false;
    }
    reader_ = reader;
    if (!setUpDecoders() || !setUpSurfaces(x, y, width, height) || !setUpVoice() || !startThreads()) {
        close();
        return false;
    }
    return true;
}

bool TheoraPlayer::setUpDecoders() {
    ogg_sync_init(&sync_);
    syncReady_ = true;
    theora_info_init(&videoInfo_);
    theora_comment_init(&videoComment_);
    vorbis_info_init(&audioInfo_);
    vorbis_comment_init(&audioComment_);
    infoReady_ = true;
    if (!readHeaders()) {
        return false;
    }
    if (hasVideo_) {
        if (theora_decode_init(&videoDecoder_, &videoInfo_) == 0) {
            videoDecoderReady_ = true;
            pictureWidth_ = videoInfo_.frame_width;
            pictureHeight_ = videoInfo_.frame_height;
            try {
                rgbFrame_.assign(static_cast<size_t>(pictureWidth_) * pictureHeight_, 0xFF000000u);
                YuvToRgbTables::instance();
            } catch (const std::bad_alloc&) {
                hasVideo_ = false;
            }
        } else {
            hasVideo_ = false;
        }
    }
    if (hasAudio_) {
        if (vorbis_synthesis_init(&audioDsp_, &audioInfo_) == 0) {
            audioDspReady_ = true;
            vorbis_block_init(&audioDsp_, &audioBlock_);
            audioBlockReady_ = true;
            audioBufferCount_ = kRingEntries;
            audioBufferSamples_ = kRingEntrySamples;
            try {
                audioRing_.resize(audioBufferCount_);
                for (AudioEntry& entry : audioRing_) {
                    entry.data.resize(audioBufferSamples_);
                }
            } catch (const std::bad_alloc&) {
                audioRing_.clear();
                hasAudio_ = false;
            }
        } else {
            hasAudio_ = false;
        }
    }
    return true;
}

bool TheoraPlayer::feedSync() {
    char* buffer = ogg_sync_buffer(&sync_, kFeedBytes);
    uint32_t got = 0;
    if (buffer == nullptr) {
        return false;
    }
    reader_->read(buffer, kFeedBytes, &got);
    ogg_sync_wrote(&sync_, static_cast<long>(got));
    return got > 0;
}

void TheoraPlayer::queuePage() {
    // Pages of other streams are refused by the stream state (serial number) and so dropped.
    if (hasVideo_) {
        ogg_stream_pagein(&videoStream_, &page_);
    }
    if (hasAudio_) {
        ogg_stream_pagein(&audioStream_, &page_);
    }
}

bool TheoraPlayer::readHeaders() {
    if (!reader_->rewind()) {
        return false;
    }
    feedSync();
    ogg_packet packet{};
    // The pages that begin logical streams come first; the first packet of each tells its kind.
    for (;;) {
        const int result = ogg_sync_pageout(&sync_, &page_);
        if (result == 0) {
            if (!feedSync()) {
                return false;
            }
            continue;
        }
        if (result < 0) {
            continue;
        }
        if (!ogg_page_bos(&page_)) {
            queuePage();
            break;
        }
        ogg_stream_state candidate;
        ogg_stream_init(&candidate, ogg_page_serialno(&page_));
        ogg_stream_pagein(&candidate, &page_);
        bool kept = false;
        if (ogg_stream_packetout(&candidate, &packet) == 1) {
            if (!hasVideo_ && theora_decode_header(&videoInfo_, &videoComment_, &packet) >= 0) {
                videoStream_ = candidate;
                hasVideo_ = kept = true;
            } else if (!hasAudio_ && vorbis_synthesis_headerin(&audioInfo_, &audioComment_, &packet) >= 0) {
                audioStream_ = candidate;
                hasAudio_ = kept = true;
            }
        }
        if (!kept) {
            ogg_stream_clear(&candidate);
        }
    }

    // Then the remaining two header packets of each chosen stream.
    int videoHeaders = hasVideo_ ? 1 : 3;
    int audioHeaders = hasAudio_ ? 1 : 3;
    while (videoHeaders < 3 || audioHeaders < 3) {
        while (videoHeaders < 3) {
            const int result = ogg_stream_packetout(&videoStream_, &packet);
            if (result < 0) {
                return false;
            }
            if (result == 0) {
                break;
            }
            if (theora_decode_header(&videoInfo_, &videoComment_, &packet) < 0) {
                return false;
            }
            ++videoHeaders;
        }
        while (audioHeaders < 3) {
            const int result = ogg_stream_packetout(&audioStream_, &packet);
            if (result < 0) {
                return false;
            }
            if (result == 0) {
                break;
            }
            if (vorbis_synthesis_headerin(&audioInfo_, &audioComment_, &packet) < 0) {
                return false;
            }
            ++audioHeaders;
        }
        if (videoHeaders >= 3 && audioHeaders >= 3) {
            break;
        }
        const int result = ogg_sync_pageout(&sync_, &page_);
        if (result > 0) {
            queuePage();
        } else if (result == 0 && !feedSync()) {
            return false;
        }
    }
    return true;
}

bool TheoraPlayer::setUpSurfaces(int32_t x, int32_t y, int32_t width, int32_t height) {
    // Without a Theora stream there is no picture, so nothing can be made to draw it into.
    if (device_ == nullptr || !hasVideo_ || pictureWidth_ == 0 || pictureHeight_ == 0) {
        return false;
    }
    if (device_->createOffscreenPlainSurface(pictureWidth_, pictureHeight_, Gpu::kFormatA8R8G8B8, Gpu::kPoolSystemMem,
                                             &systemSurface_) < 0 ||
        device_->createTexture(pictureWidth_, pictureHeight_, 1, Gpu::kUsageRenderTarget, Gpu::kFormatA8R8G8B8,
                               Gpu::kPoolDefault, &videoTexture_) < 0) {
        return false;
    }
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float w = static_cast<float>(width > 0 ? static_cast<uint32_t>(width) : pictureWidth_);
    const float h = static_cast<float>(height > 0 ? static_cast<uint32_t>(height) : pictureHeight_);
    const Gpu::TexturedVertex quad[kQuadVertices] = {{left + w, top, 0, 1, 0xFFFFFFFFu, 1, 0},
                                                     {left + w, top + h, 0, 1, 0xFFFFFFFFu, 1, 1},
                                                     {left, top, 0, 1, 0xFFFFFFFFu, 0, 0},
                                                     {left, top + h, 0, 1, 0xFFFFFFFFu, 0, 1}};
    if (device_->createVertexBuffer(kQuadVertices * kQuadStride, Gpu::kUsageWriteOnly, kQuadFvf, Gpu::kPoolDefault,
                                    &vertexBuffer_) < 0) {
        return false;
    }
    void* data = nullptr;
    if (vertexBuffer_->lock(0, 0, &data, 0) < 0) {
        return false;
    }
    std::memcpy(data, quad, sizeof(quad));
    return vertexBuffer_->unlock() >= 0;
}

bool TheoraPlayer::setUpVoice() {
    if (!hasAudio_ || audioInfo_.channels <= 0) {
        return true;
    }
    if (engine_ == nullptr) {
        return false;
    }
    voiceContext_ = std::make_unique<StreamingVoiceContext>();
    Platform::Audio::WaveFormat format;
    format.formatTag = Platform::Audio::kWaveFormatPcm;
    format.channels = static_cast<uint16_t>(audioInfo_.channels);
    format.samplesPerSec = static_cast<uint32_t>(audioInfo_.rate);
    format.blockAlign = static_cast<uint16_t>(format.channels * 2);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    format.bitsPerSample = 16;
    if (!Platform::Audio::audioSucceeded(engine_->createSourceVoice(&voice_, format, 0, 1.0f, voiceContext_.get()))) {
        voice_ = nullptr;
        return false;
    }
    voiceBlocks_.resize(kVoiceBlockCount);
    for (VoiceBlock& block : voiceBlocks_) {
        block.storage = std::make_unique<uint8_t[]>(kVoiceBlockBytes + kVoiceBlockAlign - 1);
        const auto address = reinterpret_cast<uintptr_t>(block.storage.get());
        block.data = block.storage.get() + ((kVoiceBlockAlign - address % kVoiceBlockAlign) % kVoiceBlockAlign);
    }
    return true;
}

bool TheoraPlayer::startThreads() {
    playing_ = true;
    controllerThread_ = Kernel::startThread([this] { controllerThread(); }, kThreadStackBytes);
    if (!controllerThread_) {
        playing_ = false;
        return false;
    }
    Kernel::setThreadPriorityLowest(*controllerThread_);
    voiceThreadRunning_ = 1;
    voiceThread_ = Kernel::startThread([this] { voiceThread(); }, kThreadStackBytes);
    if (!voiceThread_) {
        voiceThreadRunning_ = 0;
        return false;
    }
    return true;
}

double TheoraPlayer::elapsedSeconds() const {
    return static_cast<double>(static_cast<uint32_t>(clock_->nowMs() - startTime_.load())) / 1000.0;
}

bool TheoraPlayer::readPacket(ogg_stream_state& stream, ogg_packet& packet) {
    bool rewoundWithoutData = false;
    for (;;) {
        const int result = ogg_stream_packetout(&stream, &packet);
        if (result > 0) {
            return true;
        }
        if (result < 0) {
            continue;  // a gap in the stream: the packets after it follow
        }
        const int pageResult = ogg_sync_pageout(&sync_, &page_);
        if (pageResult > 0) {
            queuePage();
            continue;
        }
        if (pageResult < 0) {
            continue;
        }
        if (feedSync()) {
            rewoundWithoutData = false;
            continue;
        }
        // A file that gives nothing even after a rewind has ended for good.
        if (!loop_ || rewoundWithoutData || !reader_->rewind()) {
            return false;
        }
        rewoundWithoutData = true;
    }
}

void TheoraPlayer::controllerThread() {
    playing_ = true;
    if (hasAudio_) {
        audioThread_ = Kernel::startThread([this] { audioThread(); }, kThreadStackBytes);
    }
    if (hasVideo_) {
        videoThread_ = Kernel::startThread([this] { videoThread(); }, kThreadStackBytes);
        if (videoThread_) {
            Kernel::setThreadPriorityLowest(*videoThread_);
        }
    }
    for (;;) {
        std::vector<Kernel::Waitable*> objects{&stopEvent_};
        for (const auto& thread : {videoThread_, audioThread_}) {
            if (thread && !thread->isSignalled()) {
                objects.push_back(thread.get());
            }
        }
        if (objects.size() == 1 || stopEvent_.isSignalled()) {
            break;
        }
        Kernel::waitForAny(objects, Kernel::kInfinite);
    }
    playing_ = false;
    for (const auto& thread : {videoThread_, audioThread_}) {
        if (thread) {
            Kernel::waitForOne(*thread, Kernel::kInfinite);
        }
    }
}

void TheoraPlayer::videoThread() {
    startTime_ = clock_->nowMs();
    double lastShown = 0.0;
    double previousTime = 0.0;
    const YuvToRgbTables& tables = YuvToRgbTables::instance();
    while (!stopEvent_.isSignalled()) {
        double frameTime = 0.0;
        {
            // The packet points into the stream's buffer, which the audio thread's next page
            // may move: read and decode under the one lock.
            std::lock_guard<std::recursive_mutex> lock(decodeLock_);
            ogg_packet packet{};
            if (!readPacket(videoStream_, packet)) {
                break;
            }
            theora_decode_packetin(&videoDecoder_, &packet);
            frameTime = theora_granule_time(&videoDecoder_, videoDecoder_.granulepos);
        }
        // A looping movie starts its times again: so does its clock.
        if (frameTime < previousTime) {
            startTime_ = clock_->nowMs() - static_cast<uint32_t>(frameTime * 1000.0);
            lastShown = 0.0;
        }
        previousTime = frameTime;

        if (shouldShowFrame(frameTime, elapsedSeconds(), lastShown)) {
            yuv_buffer picture{};
            int decoded;
            {
                std::lock_guard<std::recursive_mutex> lock(decodeLock_);
                decoded = theora_decode_YUVout(&videoDecoder_, &picture);
            }
            if (decoded == 0) {
                YuvPlanes planes;
                planes.y = picture.y;
                planes.u = picture.u;
                planes.v = picture.v;
                planes.yStride = picture.y_stride;
                planes.uvStride = picture.uv_stride;
                std::lock_guard<std::mutex> lock(frameLock_);
                tables.convert(planes, videoInfo_.offset_x, videoInfo_.offset_y, pictureWidth_, pictureHeight_,
                               rgbFrame_.data(), pictureWidth_);
            }
            lastShown = elapsedSeconds();
            shownFrames_.fetch_add(1);
        }
        const uint32_t wait = frameWaitMs(frameTime, elapsedSeconds());
        if (wait > 0 && clock_->waitForStop(stopEvent_, wait)) {
            break;
        }
    }
    if (!hasAudio_) {
        stopEvent_.set();  // the movie is over
    }
}

void TheoraPlayer::audioThread() {
    if (stopEvent_.isSignalled()) {
        return;
    }
    const uint32_t channels = static_cast<uint32_t>(audioInfo_.channels);
    do {
        while ((writeIndex_ + 1u) % audioBufferCount_ == readIndex_) {
            if (Kernel::waitForAny({&bufferConsumed_, &stopEvent_}, Kernel::kInfinite) != Kernel::kWaitObject0) {
                return;
            }
        }
        AudioEntry& entry = audioRing_[writeIndex_];
        uint32_t filled = 0;
        while (filled < audioBufferSamples_) {
            float** pcm = nullptr;
            int frames;
            {
                std::lock_guard<std::recursive_mutex> lock(decodeLock_);
                frames = vorbis_synthesis_pcmout(&audioDsp_, &pcm);
            }
            if (frames > 0) {
                uint32_t written = 0;
                const uint32_t used = convertToPcm16(pcm, channels, static_cast<uint32_t>(frames),
                                                     entry.data.data() + filled, audioBufferSamples_ - filled, written);
                filled += written;
                std::lock_guard<std::recursive_mutex> lock(decodeLock_);
                vorbis_synthesis_read(&audioDsp_, static_cast<int>(used));
                continue;
            }
            std::lock_guard<std::recursive_mutex> lock(decodeLock_);
            ogg_packet packet{};
            if (!readPacket(audioStream_, packet)) {
                return;  // end of the data: a partly filled entry is dropped
            }
            if (vorbis_synthesis(&audioBlock_, &packet) == 0) {
                vorbis_synthesis_blockin(&audioDsp_, &audioBlock_);
            }
        }
        entry.byteCount = filled * 2;
        writeIndex_ = static_cast<uint8_t>((writeIndex_ + 1u) % audioBufferCount_);
        bufferFilled_.set();
    } while (!stopEvent_.isSignalled());
}

bool TheoraPlayer::takeAudio(VoiceBlock& block) {
    while (readIndex_ == writeIndex_) {
        if (Kernel::waitForAny({&bufferFilled_, &stopEvent_}, Kernel::kInfinite) != Kernel::kWaitObject0) {
            return false;
        }
    }
    const AudioEntry& entry = audioRing_[readIndex_];
    const uint32_t bytes = std::min(entry.byteCount, kVoiceBlockBytes);
    std::memcpy(block.data, entry.data.data(), bytes);
    block.byteCount = static_cast<int32_t>(bytes);
    readIndex_ = static_cast<uint8_t>((readIndex_ + 1u) % audioBufferCount_);
    bufferConsumed_.set();
    return true;
}

void TheoraPlayer::voiceThread() {
    if (voice_ != nullptr) {
        voice_->start();
        voice_->setVolume(kVoiceVolume);
    }
    bool endedByEmptyBlock = false;
    while (!voiceStopEvent_.isSignalled()) {
        bool stopped = false;
        while (voice_ != nullptr) {
            Platform::Audio::VoiceState state;
            voice_->getState(&state);
            if (state.buffersQueued < kMaxQueuedVoiceBuffers) {
                break;
            }
            if (Kernel::waitForAny({&voiceStopEvent_, &voiceContext_->bufferEndEvent()}, Kernel::kInfinite) ==
                Kernel::kWaitObject0) {
                stopped = true;
                break;
            }
        }
        // Taking audio fails only once the movie is stopped: then there is nothing more to feed.
        if (stopped || voiceBlocks_.empty() || !takeAudio(voiceBlocks_[voiceBlockIndex_])) {
            break;
        }
        VoiceBlock& block = voiceBlocks_[voiceBlockIndex_];
        voiceBlockIndex_ = (voiceBlockIndex_ + 1) % kVoiceBlockCount;
        if (block.byteCount <= 0) {
            endedByEmptyBlock = true;
            break;
        }
        Platform::Audio::AudioBuffer buffer;
        buffer.audioBytes = static_cast<uint32_t>(block.byteCount);
        buffer.audioData = block.data;
        voice_->submitSourceBuffer(buffer);
    }
    if (endedByEmptyBlock && voice_ != nullptr) {
        voice_->stop();
    }
    voiceThreadRunning_ = 0;
}

void TheoraPlayer::draw() {
    if (systemSurface_ == nullptr || videoTexture_ == nullptr || vertexBuffer_ == nullptr) {
        return;
    }
    Gpu::LockedRect locked;
    if (systemSurface_->lockRect(&locked, nullptr, 0) < 0) {
        return;
    }
    {
        // Row by row: the surface's rows may be wider than the picture.
        std::lock_guard<std::mutex> lock(frameLock_);
        auto* target = static_cast<uint8_t*>(locked.bits);
        for (uint32_t row = 0; row < pictureHeight_; ++row) {
            std::memcpy(target + static_cast<size_t>(row) * static_cast<size_t>(locked.pitch),
                        rgbFrame_.data() + static_cast<size_t>(row) * pictureWidth_, pictureWidth_ * 4u);
        }
    }
    if (systemSurface_->unlockRect() < 0) {
        return;
    }
    Gpu::GpuSurface* level = nullptr;
    if (videoTexture_->getSurfaceLevel(0, &level) < 0) {
        return;
    }
    device_->updateSurface(systemSurface_, nullptr, level, nullptr);
    level->release();

    device_->setStreamSource(0, vertexBuffer_, 0, kQuadStride);
    device_->setFvf(kQuadFvf);
    device_->setTexture(0, videoTexture_);
    device_->setTextureStageState(0, Gpu::StageState::ColorOp, Gpu::kOpModulate);
    device_->setTextureStageState(0, Gpu::StageState::ColorArg1, Gpu::kArgTexture);
    device_->setTextureStageState(0, Gpu::StageState::ColorArg2, Gpu::kArgDiffuse);
    device_->setTextureStageState(0, Gpu::StageState::AlphaOp, Gpu::kOpModulate);
    device_->setTextureStageState(0, Gpu::StageState::AlphaArg1, Gpu::kArgTexture);
    device_->setTextureStageState(0, Gpu::StageState::AlphaArg2, Gpu::kArgDiffuse);
    device_->setRenderState(Gpu::RenderState::AlphaBlendEnable, 1);
    device_->setRenderState(Gpu::RenderState::SrcBlend, Gpu::kBlendSrcAlpha);
    device_->setRenderState(Gpu::RenderState::DestBlend, Gpu::kBlendInvSrcAlpha);
    device_->drawPrimitive(Gpu::kPrimitiveTriangleStrip, 0, 2);
}

void TheoraPlayer::stop() {
    voiceStopEvent_.set();
    stopEvent_.set();
}

void TheoraPlayer::close() {
    stop();
    // Every wait of the player's threads also watches the stop events, so once they are set the
    // threads end by themselves; nothing below is freed before they have.
    if (voiceThread_) {
        Kernel::waitForOne(*voiceThread_, Kernel::kInfinite);
        voiceThread_.reset();
    }
    // The voice may still hold buffers in the voice blocks and call the context: destroy it
    // (which waits for its callbacks) before either goes.
    if (voice_ != nullptr) {
        voice_->stop();
        voice_->flushSourceBuffers();
        voice_->destroyVoice();
        voice_ = nullptr;
    }
    voiceContext_.reset();
    voiceBlocks_.clear();
    Gpu::safeRelease(vertexBuffer_);
    Gpu::safeRelease(systemSurface_);
    Gpu::safeRelease(videoTexture_);
    if (controllerThread_) {
        Kernel::waitForOne(*controllerThread_, Kernel::kInfinite);
        controllerThread_.reset();
    }
    for (auto* thread : {&videoThread_, &audioThread_}) {
        if (*thread) {
            Kernel::waitForOne(**thread, Kernel::kInfinite);
            thread->reset();
        }
    }
    releaseAll();
}

void TheoraPlayer::releaseAll() {
    {
        std::lock_guard<std::mutex> lock(frameLock_);
        rgbFrame_.clear();
        rgbFrame_.shrink_to_fit();
    }
    if (audioBlockReady_) {
        vorbis_block_clear(&audioBlock_);
        audioBlockReady_ = false;
    }
    if (audioDspReady_) {
        vorbis_dsp_clear(&audioDsp_);
        audioDspReady_ = false;
    }
    if (videoDecoderReady_) {
        theora_clear(&videoDecoder_);
        videoDecoderReady_ = false;
    }
    if (infoReady_) {
        vorbis_comment_clear(&audioComment_);
        vorbis_info_clear(&audioInfo_);
        theora_comment_clear(&videoComment_);
        theora_info_clear(&videoInfo_);
        infoReady_ = false;
    }
    if (hasAudio_ || audioStream_.body_data != nullptr) {
        ogg_stream_clear(&audioStream_);
    }
    if (hasVideo_ || videoStream_.body_data != nullptr) {
        ogg_stream_clear(&videoStream_);
    }
    audioStream_ = {};
    videoStream_ = {};
    if (syncReady_) {
        ogg_sync_clear(&sync_);
        syncReady_ = false;
    }
    if (reader_ != nullptr) {
        reader_->close();
        reader_ = nullptr;
    }
    audioRing_.clear();
    audioBufferCount_ = 0;
    audioBufferSamples_ = 0;
    writeIndex_ = 0;
    readIndex_ = 0;
    voiceBlockIndex_ = 0;
    hasVideo_ = false;
    hasAudio_ = false;
    playing_ = false;
}

}  // namespace Theora
