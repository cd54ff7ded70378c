#include "tools/soundgen/SoundCatalogue.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace SoundGen {
namespace {

constexpr uint32_t kEffectRate = 22050;
constexpr uint32_t kMusicRate = 44100;
constexpr double kTwoPi = 6.283185307179586;
constexpr float kMusicQuality = 0.2f;

// A small deterministic noise source (no library generator: its sequence may differ).
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_;
};

int16_t toSample(double value) {
    const double clipped = std::fmax(-1.0, std::fmin(1.0, value));
    return static_cast<int16_t>(std::lround(clipped * 32000.0));
}

double noteFrequency(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// Tones with a linear frequency sweep and an exponential decay.
void addTone(std::vector<double>& mix, uint32_t rate, double start, double length, double fromHz, double toHz,
             double level, double decay, bool square) {
    const auto first = static_cast<size_t>(start * rate);
    const auto count = static_cast<size_t>(length * rate);
    double phase = 0.0;
    for (size_t i = 0; i < count && first + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double hz = fromHz + (toHz - fromHz) * (t / length);
        phase += kTwoPi * hz / rate;
        const double wave = square ? (std::sin(phase) >= 0.0 ? 0.6 : -0.6) : std::sin(phase);
        const double attack = std::fmin(1.0, t * 400.0);
        mix[first + i] += wave * level * attack * std::exp(-decay * t);
    }
}

void addNoise(std::vector<double>& mix, uint32_t rate, double length, double level, double decay, uint32_t seed) {
    Noise noise(seed);
    double low = 0.0;
    const auto count = static_cast<size_t>(length * rate);
    for (size_t i = 0; i < count && i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        low += (noise.next() - low) * 0.3;  // a gentle low-pass: a thud rather than a hiss
        mix[i] += low * level * std::exp(-decay * t);
    }
}

PcmClip monoClip(const std::vector<double>& mix, uint32_t rate) {
    PcmClip clip;
    clip.sampleRate = rate;
    clip.channels = 1;
    clip.samples.reserve(mix.size());
    for (double value : mix) {
        clip.samples.push_back(toSample(value));
    }
    return clip;
}

}  // namespace

PcmClip synthEffect(const std::string& recipe) {
    const uint32_t rate = kEffectRate;
    auto lengthOf = [](double seconds) { return std::vector<double>(static_cast<size_t>(seconds * kEffectRate), 0.0); };
    std::vector<double> mix;
    if (recipe == "cursor") {
        mix = lengthOf(0.06);
        addTone(mix, rate, 0.0, 0.06, 1320.0, 1320.0, 0.5, 40.0, true);
    } else if (recipe == "decide") {
        mix = lengthOf(0.25);
        addTone(mix, rate, 0.0, 0.25, 880.0, 880.0, 0.45, 12.0, false);
        addTone(mix, rate, 0.05, 0.2, 1318.5, 1318.5, 0.45, 12.0, false);
    } else if (recipe == "cancel") {
        mix = lengthOf(0.12);
        addTone(mix, rate, 0.0, 0.12, 660.0, 330.0, 0.5, 20.0, true);
    } else if (recipe == "buzzer") {
        mix = lengthOf(0.2);
        addTone(mix, rate, 0.0, 0.2, 110.0, 110.0, 0.5, 6.0, true);
    } else if (recipe == "hit") {
        mix = lengthOf(0.18);
        addNoise(mix, rate, 0.18, 1.2, 25.0, 7);
        addTone(mix, rate, 0.0, 0.1, 180.0, 60.0, 0.6, 30.0, false);
    } else if (recipe.rfind("jingle", 0) == 0) {
        // Rising arpeggios; the digit picks the key.
        const int key = recipe.back() - '0';
        mix = lengthOf(1.2);
        const int steps[] = {0, 4, 7, 12};
        for (int n = 0; n < 4; ++n) {
            const double hz = noteFrequency(key * 2 - 9 + steps[n]);
            addTone(mix, rate, n * 0.15, 1.2 - n * 0.15, hz, hz, 0.3, 3.0, false);
            addTone(mix, rate, n * 0.15, 1.2 - n * 0.15, hz * 2.0, hz * 2.0, 0.08, 5.0, false);
        }
    } else {
        throw std::invalid_argument("unknown sound recipe: " + recipe);
    }
    return monoClip(mix, rate);
}

PcmClip synthMusic(uint32_t seed, double introSeconds, double loopSeconds) {
    const uint32_t rate = kMusicRate;
    const double total = introSeconds + loopSeconds;
    const auto frames = static_cast<size_t>(total * rate);
    // A pentatonic scale in a key chosen by the seed; a fixed pattern of steps for the melody.
    const int scale[] = {0, 2, 4, 7, 9, 12, 14, 16};
    const int key = static_cast<int>(seed % 7) - 12;
    const double beat = 0.25 + 0.05 * static_cast<double>(seed % 3);
    Noise choice(seed * 7919u + 1u);
    std::vector<double> melody(frames, 0.0), bass(frames, 0.0);
    // Intro: a slow bass pedal only.
    for (double t = 0.0; t + beat * 2 <= introSeconds + 1e-9; t += beat * 2) {
        const double hz = noteFrequency(key - 12);
        addTone(bass, rate, t, beat * 2, hz, hz, 0.35, 2.0, false);
    }
    // Loop body: melody over a walking bass; it ends on the note it starts from, so the jump
    // back to the loop point is smooth.
    int index = 0;
    for (double t = introSeconds; t + beat <= total + 1e-9; t += beat) {
        index = (index + static_cast<int>((choice.next() + 1.0) * 3.0) + 5) % 8;
        const double hz = noteFrequency(key + scale[index]);
        addTone(melody, rate, t, beat, hz, hz, 0.28, 4.0, true);
    }
    for (double t = introSeconds; t + beat * 2 <= total + 1e-9; t += beat * 2) {
        const int step = static_cast<int>(std::lround((t - introSeconds) / (beat * 2))) % 4;
        const double hz = noteFrequency(key - 12 + scale[step]);
        addTone(bass, rate, t, beat * 2, hz, hz, 0.35, 2.0, false);
    }
    PcmClip clip;
    clip.sampleRate = rate;
    clip.channels = 2;
    clip.samples.reserve(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        clip.samples.push_back(toSample(melody[i] * 0.8 + bass[i] * 0.6));
        clip.samples.push_back(toSample(melody[i] * 0.5 + bass[i] * 0.8));
    }
    return clip;
}

std::vector<GeneratedSound> generateCatalogue() {
    struct Effect {
        const char* path;
        const char* recipe;
    };
    const Effect effects[] = {
        {"SE/SystemSE/se000.wav", "cursor"}, {"SE/SystemSE/se001.wav", "decide"}, {"SE/SystemSE/se002.wav", "cancel"},
        {"SE/SystemSE/se003.wav", "buzzer"}, {"SE/SystemSE/se004.wav", "hit"},    {"SE/Jingle/jg000.wav", "jingle0"},
        {"SE/Jingle/jg001.wav", "jingle1"},  {"SE/Jingle/jg002.wav", "jingle2"},  {"SE/Jingle/jg003.wav", "jingle3"},
        {"SE/Jingle/jg004.wav", "jingle4"},  {"SE/jg000.wav", "jingle0"},
    };
    struct Music {
        const char* path;
        uint32_t seed;
        double intro;
        double loop;
    };
    const Music music[] = {
        {"BGM/bgm000.ogg", 1, 2.0, 12.0}, {"BGM/bgm001.ogg", 2, 2.0, 12.0}, {"BGM/bgm002.ogg", 3, 1.0, 12.0},
        {"BGM/bgm017.ogg", 4, 1.0, 8.0},  {"BGM/test2.ogg", 5, 1.0, 6.0},
    };
    std::vector<GeneratedSound> sounds;
    for (const Effect& effect : effects) {
        sounds.push_back({effect.path, encodeWav(synthEffect(effect.recipe))});
    }
    for (const Music& tune : music) {
        char loopStart[64];
        std::snprintf(loopStart, sizeof loopStart, "LOOP_START=%.3f", tune.intro);
        sounds.push_back({tune.path, encodeVorbis(synthMusic(tune.seed, tune.intro, tune.loop), kMusicQuality,
                                                  {loopStart, "TITLE=Fenwarrow sample"})});
    }
    return sounds;
}

}  // namespace SoundGen
