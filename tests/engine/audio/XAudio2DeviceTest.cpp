#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "engine/audio/OxAudioSystem.h"
#include "engine/audio/OxNullAudioDevice.h"
#include "engine/audio/XAudio2Source.h"
#include "tests/engine/audio/AudioTestSupport.h"

namespace {

using namespace Orvex::AudioSystem;
using XAudio2::XAudio2Source;

// A WAV file, every header field open to corruption; by default the plain 44-byte layout.
struct WavSpec {
    char riff[5] = "RIFF";
    char wave[5] = "WAVE";
    char fmt[5] = "fmt ";
    uint32_t fmtSize = 16;
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = AudioTest::kOutputRate;
    uint32_t avgBytes = AudioTest::kOutputRate * 2;
    uint16_t blockAlign = 2;
    uint16_t bits = 16;
    uint32_t frames = 480;
    int16_t level = 16384;
    int64_t declaredSize = -1;      // the data size field; -1 = the real size
    size_t truncateTo = 0;          // cut the file to this many bytes (0 = whole)
    std::vector<uint8_t> between;   // chunks between "fmt " and "data"
    std::vector<uint8_t> trailing;  // chunks after "data"
};

void put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

std::vector<uint8_t> makeWav(const WavSpec& spec) {
    const uint32_t dataSize = spec.frames * spec.blockAlign;
    std::vector<uint8_t> out(spec.riff, spec.riff + 4);
    put(out, static_cast<uint32_t>(36 + dataSize + spec.between.size() + spec.trailing.size()), 4);
    out.insert(out.end(), spec.wave, spec.wave + 4);
    out.insert(out.end(), spec.fmt, spec.fmt + 4);
    put(out, spec.fmtSize, 4);
    put(out, spec.tag, 2);
    put(out, spec.channels, 2);
    put(out, spec.rate, 4);
    put(out, spec.avgBytes, 4);
    put(out, spec.blockAlign, 2);
    put(out, spec.bits, 2);
    out.insert(out.end(), spec.between.begin(), spec.between.end());
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, spec.declaredSize < 0 ? dataSize : static_cast<uint32_t>(spec.declaredSize), 4);
    for (uint32_t i = 0; i < dataSize / 2; ++i) {
        put(out, static_cast<uint16_t>(spec.level), 2);
    }
    out.insert(out.end(), spec.trailing.begin(), spec.trailing.end());
    if (spec.truncateTo != 0) {
        out.resize(spec.truncateTo);
    }
    return out;
}

// One RIFF chunk: its name, size and body, padded to an even length.
std::vector<uint8_t> chunk(const char* name, std::vector<uint8_t> body) {
    std::vector<uint8_t> out(name, name + 4);
    put(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> joined(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

class WaveSourceTest : public AudioTest::ManualDeviceTest {
protected:
    std::shared_ptr<IOrvexAudioSource> load(const WavSpec& spec, const std::u16string& name = u"SE\\a.wav") {
        archive_.files[name] = makeWav(spec);
        return device_->createSource(name, &archive_, kSourceTypeWave);
    }
};

TEST_F(WaveSourceTest, HeaderChecksGiveNullSourcesAndAlwaysCloseTheEntry) {
    struct Case {
        const char* what;
        WavSpec spec;
    };
    std::vector<Case> cases;
    auto with = [&cases](const char* what, auto change) {
        WavSpec spec;
        change(spec);
        cases.push_back({what, spec});
    };
    with("not RIFF", [](WavSpec& s) { std::memcpy(s.riff, "RIFX", 4); });
    with("not WAVE", [](WavSpec& s) { std::memcpy(s.wave, "AVI ", 4); });
    with("no fmt chunk before the data", [](WavSpec& s) { std::memcpy(s.fmt, "LIST", 4); });
    with("18-byte fmt chunk", [](WavSpec& s) { s.fmtSize = 18; });
    with("not PCM", [](WavSpec& s) { s.tag = 3; });
    with("shorter than the header", [](WavSpec& s) { s.truncateTo = 40; });
    with("data size beyond the file", [](WavSpec& s) { s.declaredSize = 961; });
    with("huge data size", [](WavSpec& s) { s.declaredSize = 0xFFFFFFF0; });
    with("no data", [](WavSpec& s) { s.declaredSize = 0; });
    with("24-bit samples the engine refuses", [](WavSpec& s) {
        s.bits = 24;
        s.blockAlign = 3;
    });
    with("no channels", [](WavSpec& s) { s.channels = 0; });
    with("block align not matching", [](WavSpec& s) {
        s.blockAlign = 4;
        s.frames = 240;
    });
    with("a chunk between fmt and data that runs past the end",
         [](WavSpec& s) { s.between = {'L', 'I', 'S', 'T', 0x00, 0x10, 0x00, 0x00}; });
    with("no data chunk", [](WavSpec& s) {
        s.frames = 0;
        s.truncateTo = 36;
    });
    for (const Case& c : cases) {
        const int opens = archive_.opens;
        testing::internal::CaptureStderr();
        const std::shared_ptr<IOrvexAudioSource> source = load(c.spec);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("SE\\a.wav: "), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what << ": " << said;
        ASSERT_TRUE(source) << c.what;
        EXPECT_TRUE(source->isNull()) << c.what;
        EXPECT_EQ(source->getSourceType(), kSourceTypeWave) << c.what;
        EXPECT_TRUE(source->play()) << c.what;
        EXPECT_EQ(source->getState(), kAudioStateStopped) << c.what;
        EXPECT_EQ(archive_.opens, opens + 1) << c.what;
        EXPECT_FALSE(archive_.isOpen()) << c.what;
    }
    EXPECT_TRUE(device_->createSource(u"missing.wav", &archive_, kSourceTypeWave)->isNull());
    EXPECT_TRUE(device_->createSource(u"SE\\a.wav", &archive_, 7)->isNull());
    EXPECT_EQ(device_->createSource(u"SE\\a.wav", &archive_, 7)->getSourceType(), 7u);
}

TEST_F(WaveSourceTest, OtherChunksAroundTheSamplesAreSkipped) {
    const std::vector<uint8_t> plain = makeWav(WavSpec{});
    const std::vector<uint8_t> samples(plain.begin() + 44, plain.end());
    WavSpec spec;
    // An odd-sized LIST (padded), a fact and a cue chunk between fmt and data, a LIST after.
    spec.between = joined({chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 3, 0, 0, 0, 'a', 'b', 0}),
                           chunk("fact", {0xE0, 0x01, 0, 0}), chunk("cue ", std::vector<uint8_t>(28, 0xFF))});
    spec.trailing = chunk("LIST", std::vector<uint8_t>(10, 0x7F));
    auto source = load(spec);
    ASSERT_FALSE(source->isNull());
    const auto& wave = *static_cast<XAudio2Source&>(*source).getWave();
    ASSERT_EQ(wave.getSize(), samples.size());
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), wave.getData()));
    source->play();
    const std::vector<float> out = pump(100);
    EXPECT_FLOAT_EQ(out[20], 0.25f);
}

TEST_F(WaveSourceTest, FormatIsTakenAsStored) {
    WavSpec spec;
    spec.channels = 2;
    spec.rate = 44100;
    spec.blockAlign = 4;
    spec.avgBytes = 176400;
    auto source = load(spec);
    ASSERT_FALSE(source->isNull());
    const auto& format = static_cast<XAudio2Source&>(*source).getWave()->getFormat();
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.avgBytesPerSec, 176400u);

    spec.avgBytes = 12345;  // stored values are used, not recomputed
    auto odd = load(spec, u"odd.wav");
    ASSERT_FALSE(odd->isNull());
    EXPECT_EQ(static_cast<XAudio2Source&>(*odd).getWave()->getFormat().avgBytesPerSec, 12345u);
    EXPECT_EQ(static_cast<XAudio2Source&>(*odd).getWave()->getSize(), spec.frames * 4);
}

TEST_F(WaveSourceTest, PlaysOnceAtTheMasterVolumeAndStopsAtTheEnd) {
    auto source = load(WavSpec{});
    EXPECT_EQ(source->getState(), kAudioStateStopped);
    ASSERT_TRUE(source->play());
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    const std::vector<float> out = pump(100);
    EXPECT_FLOAT_EQ(out[20], 0.25f) << "half level at the default master volume 0.5";
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    pump(400);
    EXPECT_EQ(source->getState(), kAudioStateStopped);

    // Played to its end, it plays again from the start.
    ASSERT_TRUE(source->play());
    pump(479);
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    pump(10);
    EXPECT_EQ(source->getState(), kAudioStateStopped);
}

TEST_F(WaveSourceTest, LoopCounts) {
    auto source = load(WavSpec{});
    auto& wave = static_cast<XAudio2Source&>(*source);
    ASSERT_TRUE(source->setLoopCount(2));
    source->play();
    pump(3 * 480 - 5);
    EXPECT_EQ(source->getState(), kAudioStatePlaying) << "the end comes after the third pass";
    EXPECT_FALSE(source->setLoopCount(0)) << "refused while playing";
    pump(10);
    EXPECT_EQ(source->getState(), kAudioStateStopped);

    ASSERT_TRUE(source->setLoopCount(0xFFFFFFFFu));
    EXPECT_EQ(source->getLoopCount(), 0xFFFFFFFFu);
    EXPECT_EQ(wave.getBufferLoopCount(), 255u);
    source->play();
    for (int i = 0; i < 20; ++i) {
        pump(480);
    }
    EXPECT_EQ(source->getState(), kAudioStatePlaying) << "forever";
    source->pause();
    EXPECT_FALSE(source->setLoopCount(1)) << "refused while paused";
    source->stop();

    // A count the voice cannot do is reported, not played as silence that never ends.
    ASSERT_TRUE(source->setLoopCount(300));
    EXPECT_FALSE(source->play());
    EXPECT_EQ(source->getState(), kAudioStateStopped);
}

TEST_F(WaveSourceTest, PlayQueuesOnlyAnIdleVoiceAndNeverStartsIt) {
    auto source = load(WavSpec{});
    source->play();
    pump(240);
    source->play();  // still playing: not restarted
    pump(250);
    EXPECT_EQ(source->getState(), kAudioStateStopped);

    source->play();
    pump(100);
    source->pause();
    EXPECT_EQ(source->getState(), kAudioStatePaused);
    source->play();
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    for (float sample : pump(1000)) {
        ASSERT_EQ(sample, 0.0f) << "paused voice stays silent after play";
    }
    source->resume();
    pump(1000);
    EXPECT_EQ(source->getState(), kAudioStateStopped);

    // After stop the voice is halted: play queues the sound but only playNew starts it.
    source->play();
    source->stop();
    EXPECT_EQ(source->getState(), kAudioStateStopped);
    source->play();
    pump(2000);
    EXPECT_EQ(source->getState(), kAudioStatePlaying) << "queued on a halted voice, never ends";
    ASSERT_TRUE(source->playNew());
    pump(490);
    EXPECT_EQ(source->getState(), kAudioStateStopped);
}

TEST_F(WaveSourceTest, PlayNewRestartsAndLateEndOfTheFlushedBufferKeepsItPlaying) {
    auto source = load(WavSpec{});
    source->playNew();
    pump(300);
    ASSERT_TRUE(source->playNew());
    pump(1);  // delivers the end of the buffer removed by the restart
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    pump(470);
    EXPECT_EQ(source->getState(), kAudioStatePlaying) << "restarted from the beginning";
    pump(20);
    EXPECT_EQ(source->getState(), kAudioStateStopped);
}

TEST_F(WaveSourceTest, StopAllStopsEverySource) {
    auto a = load(WavSpec{}, u"a.wav");
    auto b = load(WavSpec{}, u"b.wav");
    a->playNew();
    b->playNew();
    device_->stopAll();
    EXPECT_EQ(a->getState(), kAudioStateStopped);
    EXPECT_EQ(b->getState(), kAudioStateStopped);
    for (float sample : pump(100)) {
        ASSERT_EQ(sample, 0.0f);
    }
}

TEST_F(WaveSourceTest, WaveCache) {
    WavSpec loud;
    WavSpec quiet;
    quiet.level = 100;
    auto first = load(loud, u"x.wav");
    auto second = load(quiet, u"x.wav");
    EXPECT_EQ(archive_.opens, 2) << "every source reads the file again";
    EXPECT_TRUE(device_->hasWave(u"x.wav"));
    EXPECT_NE(static_cast<XAudio2Source&>(*first).getWave(), static_cast<XAudio2Source&>(*second).getWave());

    auto other = load(loud, u"y.wav");
    device_->releaseUnusedWaves();
    EXPECT_TRUE(device_->hasWave(u"x.wav")) << "the first source still holds the cached container";
    first.reset();
    device_->releaseWave(u"y.wav");
    EXPECT_TRUE(device_->hasWave(u"y.wav")) << "held by a live source";
    device_->releaseUnusedWaves();
    EXPECT_FALSE(device_->hasWave(u"x.wav"));
    other.reset();
    device_->releaseWave(u"y.wav");
    EXPECT_FALSE(device_->hasWave(u"y.wav"));
}

TEST_F(WaveSourceTest, SourcesOutliveTheDevice) {
    auto source = load(WavSpec{});
    source->playNew();
    device_->terminate();
    device_.reset();
    EXPECT_EQ(source->getState(), kAudioStatePlaying);
    source->stop();
    source.reset();  // must not touch the device
}

TEST(NullAudioDevice, AnswersAsSilence) {
    OxNullAudioDevice device;
    AudioTest::MemoryArchive archive;
    EXPECT_TRUE(device.initialize());
    EXPECT_EQ(device.getEngine(), nullptr);
    for (uint32_t type : {kSourceTypeWave, kSourceTypeVorbis}) {
        auto source = device.createSource(u"x", &archive, type);
        EXPECT_TRUE(source->isNull());
        EXPECT_EQ(source->getSourceType(), type);
        EXPECT_TRUE(source->play());
        EXPECT_TRUE(source->playNew());
        EXPECT_EQ(source->getState(), kAudioStateStopped);
        EXPECT_TRUE(source->setLoopCount(3));
        EXPECT_EQ(source->getLoopCount(), 0u);
    }
    EXPECT_EQ(archive.opens, 0);
    EXPECT_FALSE(device.hasWave(u"x"));
}

TEST(OxAudioSystemTest, FallsBackToTheSilentDeviceWhenOutputIsUnavailable) {
    auto root = std::make_unique<Orvex::OxOrvexManager>();
    setenv("ORVEX_AUDIO", "null", 1);
    OxAudioSystem* system = OxAudioSystem::instance();
    EXPECT_EQ(system->initialize(), 0);
    unsetenv("ORVEX_AUDIO");
    ASSERT_TRUE(system->getDevice());
    EXPECT_EQ(system->getDevice()->getEngine(), nullptr);
    AudioTest::MemoryArchive archive;
    EXPECT_TRUE(system->getDevice()->createSource(u"x.wav", &archive, kSourceTypeWave)->isNull());
    system->terminate();
    EXPECT_FALSE(system->getDevice());
    OxAudioSystem::release();
    root.reset();
    Orvex::Thread::OxThreadManager::release();
}

}  // namespace
