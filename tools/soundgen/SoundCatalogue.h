#pragma once
// The sample game's sound effects and music, synthesised from short recipes.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/soundgen/SoundEncoding.h"

namespace SoundGen {

struct GeneratedSound {
    std::string path;  // relative, '/' separated: "SE/SystemSE/se000.wav", "BGM/bgm001.ogg"
    std::vector<uint8_t> bytes;
};

struct MusicClip {
    PcmClip pcm;
    double loopStart = 0.0;  // seconds: where the piece continues after its end
};

// Every sound of the sample game, in a fixed order, with identical bytes on every run.
std::vector<GeneratedSound> generateCatalogue();

// The pieces, for tests. Unknown names throw std::invalid_argument.
PcmClip synthEffect(const std::string& recipe);
MusicClip synthMusic(const std::string& tune);

}  // namespace SoundGen
