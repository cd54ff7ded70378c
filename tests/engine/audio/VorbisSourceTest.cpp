#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "engine/audio/OxAudioSystem.h"
#include "engine/audio/VorbisDecoder.h"
#include "engine/audio/XAudio2SourceVorbis.h"
#include "tests/engine/audio/AudioTestSupport.h"
#include "tools/soundgen/SoundEncoding.h"

namespace {

using namespace Orvex::AudioSystem;
using Orvex::AudioSystem::Vorbis::VorbisDecoder;
using XAudio2::XAudio2SourceVorbis;

// A stereo tone sweep at the output rate, so that the mix lines up sample for sample.
SoundGen::PcmClip sweep(double seconds) {
    SoundGen::PcmClip clip;
    clip.sampleRate = AudioTest::kOutputRate;
    clip.channels = 2;
    const auto frames = static_cast<size_t>(seconds * clip.sampleRate);
    double phase = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        phase += 6.283185307179586 * (200.0 + 600.0 * static_cast<double>(i) / frames) / clip.sampleRate;
        const auto value = static_cast<int16_t>(std::lround(std::sin(phase) * 12000.0));
        clip.samples.push_back(value);
        clip.samples.push_back(static_cast<int16_t>(-value));
    }
    return clip;
}

std::vector<uint8_t> oggWith(const std::vector<std::string>& comments, double seconds = 0.2) {
    return SoundGen::encodeVorbis(sweep(seconds), 0.3f, comments);
}

// Decodes a whole file into samples.
std::vector<int16_t> decodeAll(AudioTest::MemoryArchive& archive, const std::u16string& name) {
    VorbisDecoder decoder;
    EXPECT_TRUE(decoder.open(name, archive));
    std::vector<uint8_t> block(0x10000);
    std::vector<int16_t> samples;
    uint32_t got = 0;
    while (decoder.read(block.data(), static_cast<uint32_t>(block.size()), got)) {
        const size_t old = samples.size();
        samples.resize(old + got / 2);
        std::memcpy(samples.data() + old, block.data(), got);
    }
    return samples;
}

TEST(VorbisDecoderTest, LoopStartComment) {
    const std::string longComment = "LOOP_START=0.1" + std::string(300 - 14, ' ');
    struct Case {
        const char* what;
        std::vector<std::string> comments;
        double loopStart;
    };
    // The file lasts 0.2 s.
    const Case cases[] = {
        {"plain", {"LOOP_START=0.125"}, 0.125},
        {"none", {"TITLE=x"}, 0.0},
        {"lower-case key", {"loop_start=0.125"}, 0.125},
        {"mixed-case key", {"Loop_Start=0.0625"}, 0.0625},
        {"longer key", {"LOOP_START_B=0.125"}, 0.0},
        {"300-byte comment", {longComment}, 0.0},
        {"later one wins", {"LOOP_START=0.05", "LOOP_START=0.1"}, 0.1},
        {"failed conversion keeps the earlier value", {"LOOP_START=0.05", "LOOP_START=abc"}, 0.05},
        {"negative", {"LOOP_START=-1.5"}, 0.0},
        {"past the end", {"LOOP_START=12.5"}, 0.0},
        {"at the end", {"LOOP_START=0.2"}, 0.0},
        {"not a number", {"LOOP_START=nan"}, 0.0},
    };
    for (const Case& c : cases) {
        AudioTest::MemoryArchive archive;
        archive.files[u"m.ogg"] = oggWith(c.comments);
        VorbisDecoder decoder;
        ASSERT_TRUE(decoder.open(u"m.ogg", archive)) << c.what;
        EXPECT_DOUBLE_EQ(decoder.getLoopStart(), c.loopStart) << c.what;
    }
}

TEST(VorbisDecoderTest, ReadsWholeChunksAndCannotReopen) {
    AudioTest::MemoryArchive archive;
    archive.files[u"m.ogg"] = oggWith({}, 2.0);
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.open(u"m.ogg", archive));
    EXPECT_FALSE(decoder.open(u"m.ogg", archive)) << "already open";
    const auto& format = decoder.getFormat();
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSec, AudioTest::kOutputRate);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.avgBytesPerSec, 4 * AudioTest::kOutputRate);
    EXPECT_EQ(format.bitsPerSample, 16);

    std::vector<uint8_t> block(0x10000);
    uint32_t got = 0;
    EXPECT_FALSE(decoder.read(block.data(), 4095, got)) << "room for less than one chunk";
    ASSERT_TRUE(decoder.read(block.data(), 0x10000, got));
    EXPECT_GE(got, 61441u);
    EXPECT_LE(got, 65536u);

    decoder.close();
    EXPECT_FALSE(archive.isOpen());
    EXPECT_FALSE(decoder.open(u"m.ogg", archive)) << "a closed decoder stays closed";
    ASSERT_TRUE(decoder.read(block.data(), 0x10000, got));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(decoder.isEndOfStream());
    EXPECT_FALSE(decoder.seekTime(0.0));
}

class VorbisSourceTest : public AudioTest::ManualDeviceTest {
protected:
    std::shared_ptr<IOrvexAudioSource> load(std::vector<uint8_t> bytes) {
        archive_.files[u"BGM\\m.ogg"] = std::move(bytes);
        return device_->createSource(u"BGM\\m.ogg", &archive_, kSourceTypeVorbis);
    }
};

TEST_F(VorbisSourceTest, MalformedFilesGiveNullSources) {
    std::vector<uint8_t> good = oggWith({});
    std::vector<uint8_t> garbage(4000, 0x5A);
    std::vector<uint8_t> truncated(good.begin(), good.begin() + 200);
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& bytes : {garbage, truncated, wav, std::vector<uint8_t>{}}) {
        auto source = load(bytes);
        EXPECT_TRUE(source->isNull());
        EXPECT_EQ(source->getSourceType(), kSourceTypeVorbis);
        EXPECT_FALSE(archive_.isOpen());
    }
    EXPECT_TRUE(device_->createSource(u"missing.ogg", &archive_, kSourceTypeVorbis)->isNull());
}

TEST_F(VorbisSourceTest, LoopsExactlyAtTheLoopStartSample) {
    struct Case {
        const char* what;
        const char* comment;
        double seconds;
        size_t loopFrame;
    };
    // A loop point the track never reaches plays the whole track, then loops from its start.
    const Case cases[] = {{"inside the track", "LOOP_START=0.5", 1.5, AudioTest::kOutputRate / 2},
                          {"past the end", "LOOP_START=7.5", 0.5, 0},
                          {"negative", "loop_start=-2", 0.5, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        archive_.files[u"ref.ogg"] = oggWith({c.comment}, c.seconds);
        const std::vector<int16_t> reference = decodeAll(archive_, u"ref.ogg");
        const size_t frames = reference.size() / 2;
        ASSERT_GT(frames, c.loopFrame);

        auto source = load(archive_.files[u"ref.ogg"]);
        ASSERT_FALSE(source->isNull());
        ASSERT_TRUE(source->play());
        EXPECT_EQ(source->getState(), kAudioStatePlaying);
        // The expected stream: the whole file, then the part from the loop point, twice.
        std::vector<int16_t> expected(reference.begin(), reference.end());
        for (int pass = 0; pass < 2; ++pass) {
            expected.insert(expected.end(), reference.begin() + 2 * c.loopFrame, reference.end());
        }
        const std::vector<float> out = pump(static_cast<uint32_t>(expected.size() / 2 + 1));
        // The mix runs one frame behind the source, at the master volume 0.5.
        const float scale = 0.5f / 32768.0f;
        size_t worst = 0;
        float worstError = 0.0f;
        for (size_t i = 0; i < expected.size(); ++i) {
            const float error = std::fabs(out[i + 2] - expected[i] * scale);
            if (error > worstError) {
                worstError = error;
                worst = i;
            }
        }
        EXPECT_LE(worstError, 2.0f * scale) << "first mismatch near frame " << worst / 2 << " of " << frames;
        EXPECT_EQ(source->getState(), kAudioStatePlaying);
        source->stop();
    }
}

TEST_F(VorbisSourceTest, StopEndsTheThreadAndLeavesTheSourceSilent) {
    auto source = load(oggWith({"LOOP_START=0.1"}, 1.0));
    auto& stream = static_cast<XAudio2SourceVorbis&>(*source);
    ASSERT_TRUE(source->play());
    EXPECT_TRUE(stream.getThread().getThreadData()) << "the streaming thread runs";
    source->play();  // ignored while playing
    for (int i = 0; i < 20; ++i) {
        pump(4800);  // wakes the streaming thread for refills
    }
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    source->pause();
    EXPECT_EQ(source->getState(), kAudioStatePaused);
    for (float sample : pump(480)) {
        ASSERT_EQ(sample, 0.0f);
    }
    source->resume();
    EXPECT_EQ(source->getState(), kAudioStatePlaying);

    EXPECT_TRUE(source->stop());
    EXPECT_EQ(source->getState(), kAudioStateStopped);
    EXPECT_FALSE(stream.getThread().getThreadData()) << "the thread has ended";
    EXPECT_TRUE(source->setLoopCount(3)) << "allowed when stopped, no effect on a stream";
    pump(10);
    EXPECT_FALSE(source->play()) << "nothing left to play";
    EXPECT_EQ(source->getState(), kAudioStateStopped);
    for (float sample : pump(4800)) {
        ASSERT_EQ(sample, 0.0f) << "a stopped stream cannot play again";
    }
}

TEST_F(VorbisSourceTest, StreamWithoutAudioStopsInsteadOfSpinning) {
    auto source = load(SoundGen::encodeVorbis(sweep(0.0), 0.3f, {}));
    if (source->isNull()) {
        GTEST_SKIP() << "the decoder refuses a stream without audio";
    }
    EXPECT_FALSE(source->play());  // returns: the empty pass after the seek stops the stream
    EXPECT_EQ(source->getState(), kAudioStateStopped);
    EXPECT_FALSE(static_cast<XAudio2SourceVorbis&>(*source).getThread().getThreadData());
}

// A headless run: SDL's dummy driver pulls the mix in real time on its own thread.
TEST(HeadlessMusic, PlaysForASecondThroughTheAudioSystem) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    auto root = std::make_unique<Orvex::OxOrvexManager>();
    AudioTest::MemoryArchive archive;
    archive.files[u"BGM\\m.ogg"] = oggWith({"LOOP_START=0.25"}, 0.5);
    OxAudioSystem* system = OxAudioSystem::instance();
    system->initialize();
    auto device = system->getDevice();
    ASSERT_TRUE(device->getEngine()) << "the dummy driver always opens";
    auto source = device->createSource(u"BGM\\m.ogg", &archive, kSourceTypeVorbis);
    ASSERT_FALSE(source->isNull());
    ASSERT_TRUE(source->play());
    std::this_thread::sleep_for(std::chrono::seconds(1));  // several loops of the half-second file
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    device->stopAll();
    EXPECT_EQ(source->getState(), kAudioStateStopped);
    source.reset();
    device.reset();
    system->terminate();
    OxAudioSystem::release();
    root.reset();
    Orvex::Thread::OxThreadManager::release();
}

}  // namespace
