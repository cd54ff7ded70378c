#include "tools/moviegen/ToneSynth.h"

#include <cmath>

namespace Orvex::Tools::MovieGen {

std::vector<std::vector<float>> synthesizeChime(uint32_t channels, uint32_t sampleRate, uint64_t sampleFrames) {
    // A pentatonic run: C5 D5 E5 G5 A5 C6 A5 G5.
    static constexpr double kNotes[] = {523.25, 587.33, 659.25, 783.99, 880.00, 1046.50, 880.00, 783.99};
    constexpr size_t kNoteCount = sizeof kNotes / sizeof kNotes[0];
    const uint64_t noteLength = sampleRate / 4;
    const double pi = std::acos(-1.0);

    std::vector<std::vector<float>> samples(channels, std::vector<float>(sampleFrames));
    for (uint64_t n = 0; n < sampleFrames; ++n) {
        const uint64_t note = n / noteLength;
        const double t = static_cast<double>(n % noteLength) / sampleRate;
        const double frequency = kNotes[note % kNoteCount];
        const double envelope = std::exp(-6.0 * t) * std::fmin(1.0, t * 200.0);  // soft attack, decay
        const double value =
            0.4 * envelope * (std::sin(2.0 * pi * frequency * t) + 0.25 * std::sin(4.0 * pi * frequency * t)) / 1.25;
        for (uint32_t c = 0; c < channels; ++c) {
            // Even notes lean left, odd notes right.
            const bool leans = channels == 2 && ((note % 2 == 0) != (c == 0));
            samples[c][n] = static_cast<float>(leans ? value * 0.6 : value);
        }
    }
    return samples;
}

}  // namespace Orvex::Tools::MovieGen
