#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/audio/VorbisDecoder.h"
#include "tests/engine/audio/AudioTestSupport.h"
#include "tools/soundgen/SoundCatalogue.h"

namespace {

using namespace Orvex::AudioSystem;

class SoundGeneratorTest : public AudioTest::ManualDeviceTest {};

// The generated files are what the game loads: each one must pass the engine's own loaders.
TEST_F(SoundGeneratorTest, CatalogueIsDeterministicAndLoadsInTheEngine) {
    const std::vector<SoundGen::GeneratedSound> sounds = SoundGen::generateCatalogue();
    const std::vector<SoundGen::GeneratedSound> again = SoundGen::generateCatalogue();
    ASSERT_EQ(sounds.size(), again.size());
    int waves = 0;
    int tunes = 0;
    for (size_t i = 0; i < sounds.size(); ++i) {
        const SoundGen::GeneratedSound& sound = sounds[i];
        EXPECT_EQ(sound.path, again[i].path);
        EXPECT_TRUE(sound.bytes == again[i].bytes) << sound.path << " differs between runs";
        const std::u16string name(sound.path.begin(), sound.path.end());
        archive_.files[name] = sound.bytes;
        if (sound.path.ends_with(".wav")) {
            ++waves;
            auto source = device_->createSource(name, &archive_, kSourceTypeWave);
            EXPECT_FALSE(source->isNull()) << sound.path;
        } else {
            ++tunes;
            Vorbis::VorbisDecoder decoder;
            ASSERT_TRUE(decoder.open(name, archive_)) << sound.path;
            EXPECT_GT(decoder.getLoopStart(), 0.0) << sound.path << " has its LOOP_START comment";
            EXPECT_TRUE(decoder.seekTime(decoder.getLoopStart())) << sound.path;
        }
    }
    EXPECT_GE(waves, 11);
    EXPECT_GE(tunes, 5);
    EXPECT_TRUE(archive_.files.count(u"SE/SystemSE/se000.wav"));
    EXPECT_TRUE(archive_.files.count(u"BGM/bgm017.ogg"));
}

TEST(SoundGeneratorRecipes, UnknownRecipeIsRefused) {
    EXPECT_THROW(SoundGen::synthEffect("no such sound"), std::invalid_argument);
    EXPECT_THROW(SoundGen::synthMusic("no such tune"), std::invalid_argument);
}

double rms(const std::vector<int16_t>& samples) {
    double sum = 0.0;
    for (int16_t s : samples) sum += double(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size())) / 32768.0;
}

// A player tells the system sounds apart by ear: no two recipes may give the same sound, none
// is silent, and the menu sounds stay short enough not to overlap at key-repeat speed.
TEST(SoundGeneratorRecipes, EffectsAreDistinctAudibleAndShortWhereTheyMustBe) {
    const char* const recipes[] = {"decide", "cancel", "cursor",  "pickup", "hunger", "fanfare", "levelup",
                                   "result", "chime",  "cleared", "hit",    "miss",   "step"};
    std::vector<std::vector<int16_t>> seen;
    for (const char* recipe : recipes) {
        SCOPED_TRACE(recipe);
        const SoundGen::PcmClip clip = SoundGen::synthEffect(recipe);
        EXPECT_GT(rms(clip.samples), 0.02);
        for (const auto& other : seen) EXPECT_NE(clip.samples, other);
        seen.push_back(clip.samples);
    }
    for (const char* menu : {"decide", "cancel", "cursor"}) {
        const SoundGen::PcmClip clip = SoundGen::synthEffect(menu);
        EXPECT_LT(double(clip.frames()) / clip.sampleRate, 0.3) << menu;
    }
}

// Each piece loops back to a point inside it, is audible and never reaches full scale (a
// clipped mix crackles on every loud note).
TEST(SoundGeneratorRecipes, MusicLoopsInsideItselfWithoutClipping) {
    for (const char* tune : {"title", "dungeon", "shop", "house", "worldmap", "chase", "scale"}) {
        SCOPED_TRACE(tune);
        const SoundGen::MusicClip music = SoundGen::synthMusic(tune);
        const double seconds = double(music.pcm.frames()) / music.pcm.sampleRate;
        EXPECT_GT(music.loopStart, 0.0);
        EXPECT_LT(music.loopStart + 5.0, seconds) << "the loop body is a few seconds at least";
        int16_t loudest = 0;
        for (int16_t s : music.pcm.samples) loudest = std::max<int16_t>(loudest, int16_t(std::abs(s)));
        EXPECT_LT(loudest, 32000);
        EXPECT_GT(rms(music.pcm.samples), 0.03);
    }
}

}  // namespace
