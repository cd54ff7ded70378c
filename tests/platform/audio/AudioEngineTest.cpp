#include "platform/audio/AudioEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace Platform::Audio {
namespace {

constexpr uint32_t kRate = 48000;

WaveFormat pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    WaveFormat format;
    format.formatTag = kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    format.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    format.avgBytesPerSec = format.blockAlign * rate;
    return format;
}

// 16-bit samples of one constant value.
std::vector<uint8_t> constant16(uint32_t samples, int16_t value) {
    std::vector<uint8_t> bytes(samples * 2);
    for (uint32_t i = 0; i < samples; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(value & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
    }
    return bytes;
}

AudioBuffer bufferOf(const std::vector<uint8_t>& bytes, void* context, uint32_t loopCount = 0) {
    AudioBuffer buffer;
    buffer.flags = kEndOfStream;
    buffer.audioBytes = static_cast<uint32_t>(bytes.size());
    buffer.audioData = bytes.data();
    buffer.loopCount = loopCount;
    buffer.context = context;
    return buffer;
}

struct Recorder : VoiceCallback {
    std::vector<void*> ends;
    int starts = 0;
    int loops = 0;
    int streamEnds = 0;
    void onBufferStart(void*) override { ++starts; }
    void onBufferEnd(void* context) override { ends.push_back(context); }
    void onLoopEnd(void*) override { ++loops; }
    void onStreamEnd() override { ++streamEnds; }
};

class ManualEngine : public ::testing::Test {
protected:
    void SetUp() override {
        engine_ = AudioEngine::create({OutputMode::Manual, kRate});
        ASSERT_EQ(engine_->createMasteringVoice(&master_), kAudioOk);
    }

    SourceVoice* makeVoice(const WaveFormat& format, VoiceCallback* callback) {
        SourceVoice* voice = nullptr;
        EXPECT_EQ(engine_->createSourceVoice(&voice, format, 0, 4.0f, callback), kAudioOk);
        return voice;
    }

    std::vector<float> pump(uint32_t frames) {
        std::vector<float> out(frames * kOutputChannels);
        EXPECT_TRUE(engine_->pump(out));
        return out;
    }

    uint32_t queued(SourceVoice* voice) {
        VoiceState state;
        voice->getState(&state);
        return state.buffersQueued;
    }

    std::shared_ptr<AudioEngine> engine_;
    MasteringVoice* master_ = nullptr;
};

TEST_F(ManualEngine, RefusesFormatsItCannotMix) {
    struct Case {
        const char* what;
        WaveFormat format;
        bool accepted;
    };
    WaveFormat badAlign = pcm(2, 44100, 16);
    badAlign.blockAlign = 2;
    WaveFormat notPcm = pcm(1, 44100, 16);
    notPcm.formatTag = 3;
    const Case cases[] = {
        {"8-bit mono", pcm(1, 22050, 8), true},         {"16-bit stereo", pcm(2, 44100, 16), true},
        {"16-bit 6 channels", pcm(6, 48000, 16), true}, {"not PCM", notPcm, false},
        {"no channels", pcm(0, 44100, 16), false},      {"9 channels", pcm(9, 44100, 16), false},
        {"24-bit", pcm(2, 44100, 24), false},           {"rate too low", pcm(1, 500, 16), false},
        {"inconsistent block align", badAlign, false},
    };
    for (const Case& c : cases) {
        SourceVoice* voice = nullptr;
        const AudioResult result = engine_->createSourceVoice(&voice, c.format, 0, 4.0f, nullptr);
        EXPECT_EQ(audioSucceeded(result), c.accepted) << c.what;
        EXPECT_EQ(voice != nullptr, c.accepted) << c.what;
        if (voice != nullptr) {
            voice->destroyVoice();
        }
    }
}

TEST_F(ManualEngine, RefusesMalformedBuffers) {
    SourceVoice* voice = makeVoice(pcm(1, kRate, 16), nullptr);
    const std::vector<uint8_t> bytes = constant16(100, 1000);
    struct Case {
        const char* what;
        AudioBuffer buffer;
    };
    std::vector<Case> cases;
    cases.push_back({"loop count above infinite", bufferOf(bytes, nullptr, 256)});
    AudioBuffer noData = bufferOf(bytes, nullptr);
    noData.audioData = nullptr;
    cases.push_back({"no data", noData});
    AudioBuffer odd = bufferOf(bytes, nullptr);
    odd.audioBytes = 1;
    cases.push_back({"less than one frame", odd});
    AudioBuffer pastEnd = bufferOf(bytes, nullptr);
    pastEnd.playBegin = 100;
    cases.push_back({"play begins past the end", pastEnd});
    AudioBuffer tooLong = bufferOf(bytes, nullptr);
    tooLong.playBegin = 50;
    tooLong.playLength = 51;
    cases.push_back({"play region past the end", tooLong});
    AudioBuffer loopWithoutCount = bufferOf(bytes, nullptr);
    loopWithoutCount.loopLength = 10;
    cases.push_back({"loop region without loops", loopWithoutCount});
    AudioBuffer loopOutside = bufferOf(bytes, nullptr, 1);
    loopOutside.loopBegin = 90;
    loopOutside.loopLength = 20;
    cases.push_back({"loop region past the end", loopOutside});
    for (const Case& c : cases) {
        EXPECT_EQ(voice->submitSourceBuffer(c.buffer), kAudioInvalidCall) << c.what;
    }
    EXPECT_EQ(queued(voice), 0u);

    for (uint32_t i = 0; i < kMaxQueuedBuffers; ++i) {
        ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioOk);
    }
    EXPECT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioInvalidCall) << "queue full";
}

TEST_F(ManualEngine, PlaysBufferOnceAtItsLevelAndReportsTheEnd) {
    Recorder recorder;
    SourceVoice* voice = makeVoice(pcm(1, kRate, 16), &recorder);
    const std::vector<uint8_t> bytes = constant16(480, 16384);
    int tag = 0;
    ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, &tag)), kAudioOk);
    voice->start();

    const std::vector<float> out = pump(960);
    // Same rate: the mix lags one frame behind the source, sample for sample.
    for (uint32_t frame = 1; frame <= 480; ++frame) {
        ASSERT_FLOAT_EQ(out[2 * frame], 0.5f) << frame;
        ASSERT_FLOAT_EQ(out[2 * frame + 1], 0.5f) << frame;
    }
    EXPECT_FLOAT_EQ(out[2 * 600], 0.0f);
    EXPECT_EQ(recorder.starts, 1);
    ASSERT_EQ(recorder.ends.size(), 1u);
    EXPECT_EQ(recorder.ends[0], &tag);
    EXPECT_EQ(recorder.streamEnds, 1);
    EXPECT_EQ(queued(voice), 0u);
    VoiceState state;
    voice->getState(&state);
    EXPECT_EQ(state.samplesPlayed, 480u);
}

TEST_F(ManualEngine, LoopsCountedOrForever) {
    const std::vector<uint8_t> bytes = constant16(100, 1000);
    {
        Recorder recorder;
        SourceVoice* voice = makeVoice(pcm(1, kRate, 16), &recorder);
        ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr, 2)), kAudioOk);
        voice->start();
        pump(299);
        EXPECT_TRUE(recorder.ends.empty()) << "three passes take 300 frames";
        EXPECT_EQ(recorder.loops, 2);
        pump(2);
        EXPECT_EQ(recorder.ends.size(), 1u);
        voice->destroyVoice();
    }
    {
        Recorder recorder;
        SourceVoice* voice = makeVoice(pcm(1, kRate, 16), &recorder);
        ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr, kLoopInfinite)), kAudioOk);
        voice->start();
        pump(10000);
        EXPECT_TRUE(recorder.ends.empty());
        EXPECT_GE(recorder.loops, 99);
        EXPECT_EQ(queued(voice), 1u);
        voice->destroyVoice();
    }
}

TEST_F(ManualEngine, FlushReportsEveryRemovedBufferOnTheNextPass) {
    Recorder recorder;
    SourceVoice* voice = makeVoice(pcm(1, kRate, 16), &recorder);
    const std::vector<uint8_t> bytes = constant16(1000, 1000);
    int tags[3] = {};
    for (int& tag : tags) {
        ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, &tag)), kAudioOk);
    }
    voice->start();
    pump(100);

    // Running: the buffer being played stays.
    voice->flushSourceBuffers();
    EXPECT_EQ(queued(voice), 1u);
    EXPECT_TRUE(recorder.ends.empty()) << "delivered on the mixing pass, not by the flush";
    pump(1);
    ASSERT_EQ(recorder.ends.size(), 2u);
    EXPECT_EQ(recorder.ends[0], &tags[1]);
    EXPECT_EQ(recorder.ends[1], &tags[2]);

    // Stopped: the queue keeps its data until flushed, then everything goes.
    voice->stop();
    pump(100);
    EXPECT_EQ(queued(voice), 1u);
    voice->flushSourceBuffers();
    EXPECT_EQ(queued(voice), 0u);
    pump(1);
    ASSERT_EQ(recorder.ends.size(), 3u);
    EXPECT_EQ(recorder.ends[2], &tags[0]);
}

TEST_F(ManualEngine, StoppedVoiceHoldsItsPlace) {
    Recorder recorder;
    SourceVoice* voice = makeVoice(pcm(1, kRate, 16), &recorder);
    const std::vector<uint8_t> bytes = constant16(300, 1000);
    ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioOk);
    voice->start();
    pump(100);
    voice->stop();
    const std::vector<float> silent = pump(1000);
    for (float sample : silent) {
        ASSERT_EQ(sample, 0.0f);
    }
    voice->start();
    pump(199);
    EXPECT_TRUE(recorder.ends.empty());
    pump(2);
    EXPECT_EQ(recorder.ends.size(), 1u);
}

TEST_F(ManualEngine, MasterAndVoiceVolumesScaleTheMix) {
    SourceVoice* voice = makeVoice(pcm(1, kRate, 16), nullptr);
    const std::vector<uint8_t> bytes = constant16(4800, 16384);
    ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioOk);
    voice->start();
    master_->setVolume(0.5f);
    EXPECT_FLOAT_EQ(pump(10)[10], 0.25f);
    voice->setVolume(0.5f);
    EXPECT_FLOAT_EQ(pump(10)[10], 0.125f);
    master_->setVolume(4.0f);
    EXPECT_FLOAT_EQ(pump(10)[10], 1.0f) << "clipped";
}

TEST_F(ManualEngine, ResamplesAndMapsChannelsToStereo) {
    // 8-bit stereo at half the output rate: left 192 (+0.5), right 64 (-0.5).
    SourceVoice* voice = makeVoice(pcm(2, kRate / 2, 8), nullptr);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 240; ++i) {
        bytes.push_back(192);
        bytes.push_back(64);
    }
    ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioOk);
    voice->start();
    const std::vector<float> out = pump(400);
    EXPECT_FLOAT_EQ(out[2 * 200], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 200 + 1], -0.5f);
    VoiceState state;
    voice->getState(&state);
    EXPECT_NEAR(static_cast<double>(state.samplesPlayed), 200.0, 1.0) << "half a source frame per output frame";

    // Four channels: even ones to the left, odd ones to the right.
    SourceVoice* quad = makeVoice(pcm(4, kRate, 16), nullptr);
    voice->stop();
    std::vector<uint8_t> quadBytes;
    const int16_t values[4] = {16384, -16384, 0, 0};
    for (int frame = 0; frame < 100; ++frame) {
        for (int16_t v : values) {
            quadBytes.push_back(static_cast<uint8_t>(v & 0xFF));
            quadBytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
    }
    ASSERT_EQ(quad->submitSourceBuffer(bufferOf(quadBytes, nullptr)), kAudioOk);
    quad->start();
    const std::vector<float> mixed = pump(50);
    EXPECT_FLOAT_EQ(mixed[20], 0.25f);
    EXPECT_FLOAT_EQ(mixed[21], -0.25f);
}

// The callbacks run outside the engine lock: a callback that submits again or destroys its own
// voice must neither deadlock nor touch freed memory.
TEST_F(ManualEngine, CallbacksMayCallBackIntoTheEngine) {
    struct Resubmitter : VoiceCallback {
        SourceVoice* voice = nullptr;
        const std::vector<uint8_t>* bytes = nullptr;
        int ends = 0;
        void onBufferEnd(void*) override {
            if (++ends < 3) {
                voice->submitSourceBuffer(bufferOf(*bytes, nullptr));
            } else {
                voice->destroyVoice();
            }
        }
        void onStreamEnd() override {}
    } callback;
    const std::vector<uint8_t> bytes = constant16(50, 1000);
    callback.bytes = &bytes;
    callback.voice = makeVoice(pcm(1, kRate, 16), &callback);
    ASSERT_EQ(callback.voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioOk);
    callback.voice->start();
    for (int pass = 0; pass < 10; ++pass) {
        pump(100);
    }
    EXPECT_EQ(callback.ends, 3);
}

TEST(AudioEngineOutput, SilentModesRefuseTheMasteringVoice) {
    MasteringVoice* master = nullptr;
    EXPECT_EQ(AudioEngine::create({OutputMode::None})->createMasteringVoice(&master), kAudioDeviceUnavailable);
    EXPECT_EQ(master, nullptr);

    setenv("ORVEX_AUDIO", "null", 1);
    const AudioResult forced = AudioEngine::create({OutputMode::Device})->createMasteringVoice(&master);
    unsetenv("ORVEX_AUDIO");
    EXPECT_EQ(forced, kAudioDeviceUnavailable);

    auto engine = AudioEngine::create({OutputMode::Manual});
    SourceVoice* voice = nullptr;
    EXPECT_EQ(engine->createSourceVoice(&voice, pcm(1, kRate, 16), 0, 4.0f, nullptr), kAudioInvalidCall)
        << "no source voice without a mastering voice";
}

// SDL's dummy audio driver consumes the mix in real time without any hardware.
TEST(AudioEngineOutput, DeviceDeliversCallbacksFromItsOwnThread) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    auto engine = AudioEngine::create({OutputMode::Device});
    MasteringVoice* master = nullptr;
    if (!audioSucceeded(engine->createMasteringVoice(&master))) {
        FAIL() << "the dummy driver always opens";
    }
    EXPECT_EQ(master->channels(), 2u);
    EXPECT_GT(master->sampleRate(), 0u);
    struct Flag : VoiceCallback {
        std::atomic<bool> ended{false};
        void onBufferEnd(void*) override { ended = true; }
    } flag;
    SourceVoice* voice = nullptr;
    ASSERT_EQ(engine->createSourceVoice(&voice, pcm(1, 44100, 16), 0, 4.0f, &flag), kAudioOk);
    const std::vector<uint8_t> bytes = constant16(4410, 1000);  // 0.1 s
    ASSERT_EQ(voice->submitSourceBuffer(bufferOf(bytes, nullptr)), kAudioOk);
    voice->start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!flag.ended && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(flag.ended);
    voice->destroyVoice();
    master->destroyVoice();
}

// A machine without a sound device still gets an audio clock (movies with sound are timed by
// their voice): the output falls back to SDL's silent driver and says so.
TEST(AudioEngineOutput, WithoutASoundDeviceTheSilentDriverKeepsTheClock) {
    const char* previous = getenv("SDL_AUDIODRIVER");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    auto engine = AudioEngine::create({OutputMode::Device});
    MasteringVoice* master = nullptr;
    const AudioResult result = engine->createMasteringVoice(&master);
    const std::string said = testing::internal::GetCapturedStderr();
    if (previous != nullptr) {
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_AUDIODRIVER");
    }
    ASSERT_TRUE(audioSucceeded(result));
    EXPECT_GT(master->sampleRate(), 0u);
    EXPECT_NE(said.find("No sound device"), std::string::npos) << said;
    master->destroyVoice();
}

}  // namespace
}  // namespace Platform::Audio
