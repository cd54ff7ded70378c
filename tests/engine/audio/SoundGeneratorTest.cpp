#include <gtest/gtest.h>

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
}

}  // namespace
