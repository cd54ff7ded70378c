#pragma once
// The sample game's sound effects and music, synthesised from short recipes.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/soundgen/SoundEncoding.h"

namespace SoundGen {

struct GeneratedSound {
    std::string path;  // relative, '/' separated: "SE/SystemSE/se000.wav", "BGM/bgm000.ogg"
    std::vector<uint8_t> bytes;
};

// Every sound of the sample game, in a fixed order, with identical bytes on every run.
std::vector<GeneratedSound> generateCatalogue();

// The pieces, for tests.
PcmClip synthEffect(const std::string& recipe);
// A looping tune: an intro of introSeconds, then a loop body; the comment LOOP_START names the
// start of the body.
PcmClip synthMusic(uint32_t seed, double introSeconds, double loopSeconds);

}  // namespace SoundGen
