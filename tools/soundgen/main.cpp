// soundgen OUTPUT_DIRECTORY: writes the sample game's sound effects (16-bit PCM WAV) and music
// (Ogg Vorbis with a LOOP_START comment) below the directory, the same bytes on every run.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "tools/soundgen/SoundCatalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    try {
        for (const SoundGen::GeneratedSound& sound : SoundGen::generateCatalogue()) {
            const std::filesystem::path target = root / sound.path;
            std::filesystem::create_directories(target.parent_path());
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(sound.bytes.data()),
                      static_cast<std::streamsize>(sound.bytes.size()));
            if (!out) {
                std::fprintf(stderr, "soundgen: cannot write %s\n", target.string().c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
