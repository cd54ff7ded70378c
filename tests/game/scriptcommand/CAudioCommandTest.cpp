#include "game/scriptcommand/CAudioCommand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/audio/XAudio2Device.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "game/services/CSEManager.h"
#include "game/services/CScriptController.h"
#include "tests/game/shell/ScriptTestSupport.h"
#include "tools/soundgen/SoundEncoding.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::ScriptCommand::CAudioCommand;
using Orvex::AudioSystem::IOrvexAudioSource;
using Orvex::Script::CScriptValue;

// A number or a flag (booleans come back as integers 0 or 1).
double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

constexpr uint32_t kRate = 48000;

constexpr const char* kScript = R"lua(
function make(path, kind) return Audio.createAudioSource(path, kind) end
-- The source's state, or -1 when the module gives no result for it.
function status(s)
  local n, state = select("#", Audio.getStatus(s)), Audio.getStatus(s)
  if n == 0 then return -1 end
  return state
end
function act(name, s, n) Audio[name](s, n) return status(s) end
)lua";

// A stereo tone at the output rate.
SoundGen::PcmClip tone(double seconds) {
    SoundGen::PcmClip clip;
    clip.sampleRate = kRate;
    clip.channels = 2;
    const auto frames = static_cast<size_t>(seconds * kRate);
    for (size_t i = 0; i < frames; ++i) {
        const auto value = static_cast<int16_t>(std::lround(std::sin(0.05 * static_cast<double>(i)) * 12000.0));
        clip.samples.push_back(value);
        clip.samples.push_back(value);
    }
    return clip;
}

class AudioModule : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<Orvex::OxOrvexManager>();
        device_ = std::make_shared<Orvex::AudioSystem::XAudio2::XAudio2Device>(
            Platform::Audio::EngineOptions{Platform::Audio::OutputMode::Manual, kRate});
        ASSERT_TRUE(device_->initialize());

        ScriptTest::openArchive(folder_, services_.reader,
                                {{u"se\\a.wav", SoundGen::encodeWav(tone(0.05))},
                                 {u"se\\b.wav", SoundGen::encodeWav(tone(0.05))},
                                 {u"bgm\\m.ogg", SoundGen::encodeVorbis(tone(1.0), 0.3f, {"LOOP_START=0.5"})},
                                 {u"bgm\\silent.ogg", SoundGen::encodeVorbis(tone(0.0), 0.3f, {})},
                                 {u"script\\other.txt", ScriptTest::textBytes("held")}});
        ASSERT_EQ(0u, music_.openArchives({TempFolder::engineForm(folder_ / "d000.bin")},
                                          Orvex::FileArchiver::OxArchiveOptions{}));

        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        module_ = std::make_shared<CAudioCommand>(device_, services_.reader, music_, &soundEffects_);
        ASSERT_TRUE(host_.attachCommand(module_));
        ASSERT_TRUE(host_.runMain());
    }

    void TearDown() override {
        host_.close();
        module_.reset();
        if (device_) {
            device_->stopAll();
        }
        soundEffects_.purge();
        device_.reset();
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    CScriptValue make(const char* path, int32_t kind) {
        std::vector<CScriptValue> r;
        host_.callFunction(r, "make", 1, {CScriptValue(std::string(path)), CScriptValue::fromInteger(kind)});
        return r.empty() ? CScriptValue() : r[0];
    }
    int64_t act(const char* name, const CScriptValue& source, int32_t n = 0) {
        std::vector<CScriptValue> r;
        host_.callFunction(r, "act", 1, {CScriptValue(std::string(name)), source, CScriptValue::fromInteger(n)});
        return r.empty() ? -2 : static_cast<int64_t>(valueOf(r[0]));
    }
    int64_t status(const CScriptValue& source) {
        std::vector<CScriptValue> r;
        host_.callFunction(r, "status", 1, {source});
        return r.empty() ? -2 : static_cast<int64_t>(valueOf(r[0]));
    }
    // Mixes that many frames; true when any of them is not silent.
    bool pump(uint32_t frames) {
        std::vector<float> out(frames * 2);
        EXPECT_TRUE(device_->getEngine()->pump(out));
        for (float sample : out) {
            if (sample != 0.0f) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_;
    std::shared_ptr<Orvex::AudioSystem::XAudio2::XAudio2Device> device_;
    TempFolder folder_;
    ScriptTest::TestScriptServices services_;
    Orvex::FileArchiver::OxPackedStreamReader music_;
    Fenwarrow::CSEManager soundEffects_;
    CScriptController host_{services_};
    std::shared_ptr<CAudioCommand> module_;
};

TEST_F(AudioModule, ScriptsDriveTheirOwnSources) {
    const CScriptValue wave = make("SE/a.wav", 0);
    auto* source = static_cast<IOrvexAudioSource*>(wave.asPointer());
    ASSERT_EQ(source, module_->findSource(source));
    ASSERT_FALSE(source->isNull());
    EXPECT_EQ(1, act("play", wave));
    EXPECT_EQ(2, act("pause", wave));
    EXPECT_EQ(1, act("replay", wave));
    EXPECT_EQ(0, act("stop", wave));
    EXPECT_EQ(0, act("setLoopCount", wave, -1));
    EXPECT_EQ(0xFFFFFFFFu, source->getLoopCount()) << "-1 loops for ever";
    EXPECT_EQ(0, act("setLoopCount", wave, 0));
    EXPECT_EQ(1, act("playNew", wave));
    EXPECT_TRUE(pump(4800));
    EXPECT_EQ(0, status(wave)) << "played to its end";

    // Only the module's own sources are taken: a number or a foreign address reads as none.
    EXPECT_EQ(-1, status(CScriptValue::fromInteger(7)));
    EXPECT_EQ(-1, status(CScriptValue(static_cast<void*>(&soundEffects_))));

    // A missing file still gives a source, one that never plays.
    const CScriptValue missing = make("SE/none.wav", 0);
    ASSERT_NE(nullptr, module_->findSource(missing.asPointer()));
    EXPECT_EQ(0, act("play", missing));

    // Deleting releases the source; a second delete finds nothing and leaves the others. The
    // cached wave then goes with cleanUpCache.
    EXPECT_EQ(-1, act("deleteAudioSource", wave));
    EXPECT_EQ(1u, module_->getSourceCount());
    act("deleteAudioSource", wave);
    EXPECT_EQ(1u, module_->getSourceCount());
    EXPECT_EQ(0, status(missing));
    EXPECT_TRUE(device_->hasWave(u"SE/a.wav"));
    act("cleanUpCache", CScriptValue());
    EXPECT_FALSE(device_->hasWave(u"SE/a.wav"));
}

TEST_F(AudioModule, StreamsNeitherWaitOnNorHoldTheScriptReader) {
    // Another load has the script reader's one entry open.
    ASSERT_TRUE(services_.reader.open(u"script\\other.txt"));
    const CScriptValue music = make("BGM/m.ogg", 1);
    EXPECT_FALSE(music_.isOpen()) << "the stream keeps no entry open";
    EXPECT_TRUE(services_.reader.isOpen()) << "the other load's entry is untouched";
    services_.reader.close();
    EXPECT_EQ(1, act("play", music));
    EXPECT_TRUE(pump(4800));

    // Starting a stream that plays already is ignored: a restart would stop it for good.
    EXPECT_EQ(1, act("play", music));
    EXPECT_EQ(1, act("playNew", music));
    EXPECT_TRUE(pump(4800));
    EXPECT_EQ(1, status(music));
    EXPECT_EQ(0, act("stop", music));

    // A stream without audio stops at once instead of refilling for ever.
    const CScriptValue silent = make("BGM/silent.ogg", 1);
    EXPECT_EQ(0, act("play", silent));
}

TEST_F(AudioModule, SoundsStillPlayingOutliveTheScriptState) {
    const CScriptValue playing = make("SE/a.wav", 0);
    make("SE/b.wav", 0);
    EXPECT_EQ(1, act("play", playing));
    host_.close();
    module_.reset();
    device_->releaseUnusedWaves();
    EXPECT_TRUE(device_->hasWave(u"SE/a.wav")) << "the playing sound is kept";
    EXPECT_FALSE(device_->hasWave(u"SE/b.wav")) << "the idle one is released";
    EXPECT_TRUE(pump(1200)) << "and goes on sounding";
    pump(4800);
    soundEffects_.purge();
    device_->releaseUnusedWaves();
    EXPECT_FALSE(device_->hasWave(u"SE/a.wav")) << "released once it has ended";
}

}  // namespace
