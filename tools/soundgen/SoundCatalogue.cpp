#include "tools/soundgen/SoundCatalogue.h"

#include <cstdio>

namespace SoundGen {
namespace {

constexpr float kMusicQuality = 0.1f;

}  // namespace

std::vector<GeneratedSound> generateCatalogue() {
    struct Entry {
        const char* path;
        const char* recipe;
    };
    // The system sounds by their number: 0 decide, 1 cancel, 2 cursor, 3 pick-up, 4 hunger
    // warning; the jingles are system sounds 10 (the music pauses for it on a floor), 11 level
    // change, 12 result, 13 arrival, 14 result of a cleared run.
    const Entry effects[] = {
        {"SE/SystemSE/se000.wav", "decide"}, {"SE/SystemSE/se001.wav", "cancel"}, {"SE/SystemSE/se002.wav", "cursor"},
        {"SE/SystemSE/se003.wav", "pickup"}, {"SE/SystemSE/se004.wav", "hunger"}, {"SE/Jingle/jg000.wav", "fanfare"},
        {"SE/Jingle/jg001.wav", "levelup"},  {"SE/Jingle/jg002.wav", "result"},   {"SE/Jingle/jg003.wav", "chime"},
        {"SE/Jingle/jg004.wav", "cleared"},  {"SE/jg000.wav", "fanfare"},         {"SE/Action/hit.wav", "hit"},
        {"SE/Action/miss.wav", "miss"},      {"SE/Action/step.wav", "step"},
    };
    const Entry music[] = {
        {"BGM/bgm001.ogg", "title"}, {"BGM/bgm002.ogg", "dungeon"},  {"BGM/bgm003.ogg", "shop"},
        {"BGM/bgm004.ogg", "house"}, {"BGM/bgm005.ogg", "worldmap"}, {"BGM/bgm017.ogg", "chase"},
        {"BGM/test2.ogg", "scale"},
    };
    std::vector<GeneratedSound> sounds;
    for (const Entry& effect : effects) {
        sounds.push_back({effect.path, encodeWav(synthEffect(effect.recipe))});
    }
    for (const Entry& tune : music) {
        const MusicClip clip = synthMusic(tune.recipe);
        char loopStart[64];
        std::snprintf(loopStart, sizeof loopStart, "LOOP_START=%.4f", clip.loopStart);
        sounds.push_back({tune.path, encodeVorbis(clip.pcm, kMusicQuality, {loopStart, "TITLE=Fenwarrow sample"})});
    }
    return sounds;
}

}  // namespace SoundGen
