#include "engine/movie/TheoraPlayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "engine/movie/MoviePacing.h"
#include "engine/movie/PcmConversion.h"
#include "engine/movie/YuvToRgbTables.h"
#include "engine/system/OxStringConvert.h"
#include "platform/kernel/DebugOutput.h"

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
    openFault_ = nullptr;
    const std::string name = Orvex::System::narrow(path);
    if (!reader->open(path)) {
        Kernel::debugOutput(Orvex::System::widen("Movie " + name + " failed to open: the file cannot be opened"));
        return false;
    }
    reader_ = reader;
    if (!setUpDecoders() || !setUpSurfaces(x, y, width, height) || !setUpVoice() || !startThreads()) {
        Kernel::debugOutput(Orvex::System::widen(
            "Movie " + name + " failed to open: " + (openFault_ != nullptr ? openFault_ : "unknown fault")));
        close();
        return false;
    }
    const theora_info& video = *codecs_->videoInfo;
    char line[96];
    std::snprintf(line, sizeof line, "%ux%u, %.2f fps, ", pictureWidth_, pictureHeight_,
                  video.fps_denominator != 0 ? static_cast<double>(video.fps_numerator) / video.fps_denominator : 0.0);
    std::string text = "Movie " + name + " opened: " + line;
    if (hasAudio_) {
        const vorbis_info& audio = *codecs_->audioInfo;
        std::snprintf(line, sizeof line, "sound %ld Hz, %d channel(s)", audio.rate, audio.channels);
        text += line;
    } else {
        text += "no sound";
    }
    Kernel::debugOutput(Orvex::System::widen(text));
    return true;
}

bool TheoraPlayer::refuse(const char* fault) {
    openFault_ = fault;
    return false;
}

bool TheoraPlayer::setUpDecoders() {
    codecs_ = std::make_unique<MovieCodecs>();
    codecs_->sync.init(ogg_sync_init);
    codecs_->videoInfo.init(theora_info_init);
    codecs_->videoComment.init(theora_comment_init);
    codecs_->audioInfo.init(vorbis_info_init);
    codecs_->audioComment.init(vorbis_comment_init);
    if (!readHeaders()) {
        return refuse("no Theora or Vorbis headers, or damaged ones");
    }
    if (hasVideo_) {
        theora_info& info = *codecs_->videoInfo.get();
        // The picture's chroma planes: halved both ways (4:2:0), across only (4:2:2) or full size.
        switch (info.pixelformat) {
            case OC_PF_420:
                chromaShiftX_ = 1;
                chromaShiftY_ = 1;
                break;
            case OC_PF_422:
                chromaShiftX_ = 1;
                chromaShiftY_ = 0;
                break;
            case OC_PF_444:
                chromaShiftX_ = 0;
                chromaShiftY_ = 0;
                break;
            default:
                return refuse("the video stream has a reserved chroma format");
        }
        if (codecs_->videoDecoder.init([&info](theora_state* state) { return theora_decode_init(state, &info); })) {
            pictureWidth_ = info.frame_width;
            pictureHeight_ = info.frame_height;
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
        vorbis_info* info = codecs_->audioInfo.get();
        VorbisDsp& dsp = codecs_->audioDsp;
        if (dsp.init([info](vorbis_dsp_state* state) { return vorbis_synthesis_init(state, info); }) &&
            codecs_->audioBlock.init([&dsp](vorbis_block* block) { return vorbis_block_init(dsp.get(), block); })) {
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
    char* buffer = ogg_sync_buffer(codecs_->sync.get(), kFeedBytes);
    uint32_t got = 0;
    if (buffer == nullptr) {
        return false;
    }
    reader_->read(buffer, kFeedBytes, &got);
    ogg_sync_wrote(codecs_->sync.get(), static_cast<long>(got));
    return got > 0;
}

void TheoraPlayer::queuePage() {
    // Pages of other streams are refused by the stream state (serial number) and so dropped.
    if (hasVideo_) {
        ogg_stream_pagein(codecs_->videoStream.get(), &page_);
    }
    if (hasAudio_) {
        ogg_stream_pagein(codecs_->audioStream.get(), &page_);
    }
}

bool TheoraPlayer::readHeaders() {
    if (!reader_->rewind()) {
        return false;
    }
    feedSync();
    MovieCodecs& codecs = *codecs_;
    ogg_packet packet{};
    // The pages that begin logical streams come first; the first packet of each tells its kind.
    for (;;) {
        const int result = ogg_sync_pageout(codecs.sync.get(), &page_);
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
        OggStream candidate;
        const int serial = ogg_page_serialno(&page_);
        candidate.init([serial](ogg_stream_state* stream) { return ogg_stream_init(stream, serial); });
        ogg_stream_pagein(candidate.get(), &page_);
        if (ogg_stream_packetout(candidate.get(), &packet) == 1) {
            if (!hasVideo_ && theora_decode_header(codecs.videoInfo.get(), codecs.videoComment.get(), &packet) >= 0) {
                codecs.videoStream.take(candidate);
                hasVideo_ = true;
            } else if (!hasAudio_ &&
                       vorbis_synthesis_headerin(codecs.audioInfo.get(), codecs.audioComment.get(), &packet) >= 0) {
                codecs.audioStream.take(candidate);
                hasAudio_ = true;
            }
        }
    }

    // Then the remaining two header packets of each chosen stream.
    int videoHeaders = hasVideo_ ? 1 : 3;
    int audioHeaders = hasAudio_ ? 1 : 3;
    while (videoHeaders < 3 || audioHeaders < 3) {
        while (videoHeaders < 3) {
            const int result = ogg_stream_packetout(codecs.videoStream.get(), &packet);
            if (result < 0) {
                return false;
            }
            if (result == 0) {
                break;
            }
            if (theora_decode_header(codecs.videoInfo.get(), codecs.videoComment.get(), &packet) < 0) {
                return false;
            }
            ++videoHeaders;
        }
        while (audioHeaders < 3) {
            const int result = ogg_stream_packetout(codecs.audioStream.get(), &packet);
            if (result < 0) {
                return false;
            }
            if (result == 0) {
                break;
            }
            if (vorbis_synthesis_headerin(codecs.audioInfo.get(), codecs.audioComment.get(), &packet) < 0) {
                return false;
            }
            ++audioHeaders;
        }
        if (videoHeaders >= 3 && audioHeaders >= 3) {
            break;
        }
        const int result = ogg_sync_pageout(codecs.sync.get(), &page_);
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
    if (device_ == nullptr) {
        return refuse("no graphics device to show it on");
    }
    if (!hasVideo_ || pictureWidth_ == 0 || pictureHeight_ == 0) {
        return refuse("no Theora video stream that can be decoded");
    }
    if (device_->createOffscreenPlainSurface(pictureWidth_, pictureHeight_, Gpu::kFormatA8R8G8B8, Gpu::kPoolSystemMem,
                                             systemSurface_.put()) < 0 ||
        device_->createTexture(pictureWidth_, pictureHeight_, 1, Gpu::kUsageRenderTarget, Gpu::kFormatA8R8G8B8,
                               Gpu::kPoolDefault, videoTexture_.put()) < 0) {
        return refuse("the picture's surfaces cannot be created");
    }
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float w = static_cast<float>(width > 0 ? static_cast<uint32_t>(width) : pictureWidth_);
    const float h = static_cast<float>(height > 0 ? static_cast<uint32_t>(height) : pictureHeight_);
    const Gpu::TexturedVertex quad[kQuadVertices] = {{left + w, top, 0, 1, 0xFFFFFFFFu, 1, 0},
                                                     {left + w, top + h, 0, 1, 0xFFFFFFFFu, 1, 1},
                                                     {left, top, 0, 1, 0xFFFFFFFFu, 0, 0},
                                                     {left, top + h, 0, 1, 0xFFFFFFFFu, 0, 1}};
    void* data = nullptr;
    if (device_->createVertexBuffer(kQuadVertices * kQuadStride, Gpu::kUsageWriteOnly, kQuadFvf, Gpu::kPoolDefault,
                                    vertexBuffer_.put()) < 0 ||
        vertexBuffer_->lock(0, 0, &data, 0) < 0) {
        return refuse("the picture's vertex buffer cannot be created");
    }
    std::memcpy(data, quad, sizeof(quad));
    return vertexBuffer_->unlock() >= 0 || refuse("the picture's vertex buffer cannot be filled");
}

bool TheoraPlayer::setUpVoice() {
    const vorbis_info& audioInfo = *codecs_->audioInfo;
    if (!hasAudio_ || audioInfo.channels <= 0) {
        return true;
    }
    if (engine_ == nullptr) {
        return refuse("it has sound and there is no sound device");
    }
    voiceContext_ = std::make_unique<StreamingVoiceContext>();
    Platform::Audio::WaveFormat format;
    format.formatTag = Platform::Audio::kWaveFormatPcm;
    format.channels = static_cast<uint16_t>(audioInfo.channels);
    format.samplesPerSec = static_cast<uint32_t>(audioInfo.rate);
    format.blockAlign = static_cast<uint16_t>(format.channels * 2);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    format.bitsPerSample = 16;
    if (!Platform::Audio::audioSucceeded(engine_->createSourceVoice(&voice_, format, 0, 1.0f, voiceContext_.get()))) {
        voice_ = nullptr;
        return refuse("the sound device refuses its sound format");
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
        return refuse("its threads cannot be started");
    }
    Kernel::setThreadPriorityLowest(*controllerThread_);
    voiceThreadRunning_ = 1;
    voiceThread_ = Kernel::startThread([this] { voiceThread(); }, kThreadStackBytes);
    if (!voiceThread_) {
        voiceThreadRunning_ = 0;
        return refuse("its threads cannot be started");
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
        const int pageResult = ogg_sync_pageout(codecs_->sync.get(), &page_);
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
    theora_state* decoder = codecs_->videoDecoder.get();
    const theora_info& info = *codecs_->videoInfo;
    while (!stopEvent_.isSignalled()) {
        double frameTime = 0.0;
        {
            // The packet points into the stream's buffer, which the audio thread's next page
            // may move: read and decode under the one lock.
            std::lock_guard<std::recursive_mutex> lock(decodeLock_);
            ogg_packet packet{};
            if (!readPacket(*codecs_->videoStream.get(), packet)) {
                break;
            }
            theora_decode_packetin(decoder, &packet);
            frameTime = theora_granule_time(decoder, decoder->granulepos);
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
                decoded = theora_decode_YUVout(decoder, &picture);
            }
            if (decoded == 0) {
                YuvPlanes planes;
                planes.y = picture.y;
                planes.u = picture.u;
                planes.v = picture.v;
                planes.yStride = picture.y_stride;
                planes.uvStride = picture.uv_stride;
                planes.chromaShiftX = chromaShiftX_;
                planes.chromaShiftY = chromaShiftY_;
                std::lock_guard<std::mutex> lock(frameLock_);
                tables.convert(planes, info.offset_x, info.offset_y, pictureWidth_, pictureHeight_, rgbFrame_.data(),
                               pictureWidth_);
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
    const uint32_t channels = static_cast<uint32_t>(codecs_->audioInfo->channels);
    vorbis_dsp_state* dsp = codecs_->audioDsp.get();
    vorbis_block* block = codecs_->audioBlock.get();
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
                frames = vorbis_synthesis_pcmout(dsp, &pcm);
            }
            if (frames > 0) {
                uint32_t written = 0;
                const uint32_t used = convertToPcm16(pcm, channels, static_cast<uint32_t>(frames),
                                                     entry.data.data() + filled, audioBufferSamples_ - filled, written);
                filled += written;
                std::lock_guard<std::recursive_mutex> lock(decodeLock_);
                vorbis_synthesis_read(dsp, static_cast<int>(used));
                continue;
            }
            std::lock_guard<std::recursive_mutex> lock(decodeLock_);
            ogg_packet packet{};
            if (!readPacket(*codecs_->audioStream.get(), packet)) {
                return;  // end of the data: a partly filled entry is dropped
            }
            if (vorbis_synthesis(block, &packet) == 0) {
                vorbis_synthesis_blockin(dsp, block);
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
    Orvex::Graphics::OxRefPtr<Gpu::GpuSurface> level;
    if (videoTexture_->getSurfaceLevel(0, level.put()) < 0) {
        return;
    }
    device_->updateSurface(systemSurface_.get(), nullptr, level.get(), nullptr);

    device_->setStreamSource(0, vertexBuffer_.get(), 0, kQuadStride);
    device_->setFvf(kQuadFvf);
    device_->setTexture(0, videoTexture_.get());
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
    vertexBuffer_.reset();
    systemSurface_.reset();
    videoTexture_.reset();
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
    codecs_.reset();
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
