#pragma once
// Writing synthesised PCM as the game's sound files: 16-bit PCM WAV with the plain 44-byte
// header, and Ogg Vorbis with user comments (such as the LOOP_START loop point).
#include <cstdint>
#include <string>
#include <vector>

namespace SoundGen {

struct PcmClip {
    uint32_t sampleRate = 44100;
    uint16_t channels = 1;
    std::vector<int16_t> samples;  // interleaved

    uint32_t frames() const { return static_cast<uint32_t>(samples.size() / channels); }
};

std::vector<uint8_t> encodeWav(const PcmClip& clip);

// Variable bit rate at the given quality (-0.1 .. 1.0). The same input always gives the same
// bytes: the stream serial number is fixed.
std::vector<uint8_t> encodeVorbis(const PcmClip& clip, float quality, const std::vector<std::string>& comments);

}  // namespace SoundGen
