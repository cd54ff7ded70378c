#include "tools/soundgen/Synth.h"

#include <algorithm>
#include <cmath>

namespace SoundGen {
namespace {

constexpr double kTwoPi = 6.283185307179586;

double waveAt(Wave wave, double phase) {
    switch (wave) {
        case Wave::Sine:
            return std::sin(phase);
        case Wave::Triangle:
            return 0.8106 * (std::sin(phase) - std::sin(3 * phase) / 9.0 + std::sin(5 * phase) / 25.0);
        case Wave::Square:
            return 0.75 * (std::sin(phase) + std::sin(3 * phase) / 3.0 + std::sin(5 * phase) / 5.0 +
                           std::sin(7 * phase) / 7.0);
        case Wave::Saw:
            return 0.6 * (std::sin(phase) + std::sin(2 * phase) / 2.0 + std::sin(3 * phase) / 3.0 +
                          std::sin(4 * phase) / 4.0 + std::sin(5 * phase) / 5.0);
        case Wave::Bell:
            // Inharmonic partials: a struck metal sound.
            return 0.6 * std::sin(phase) + 0.3 * std::sin(2.76 * phase) + 0.15 * std::sin(5.4 * phase);
    }
    return 0.0;
}

}  // namespace

double Noise::next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
}

double semitoneHz(double semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

Mix::Mix(uint32_t rate, double seconds)
    : rate_(rate), left_(static_cast<size_t>(seconds * rate), 0.0), right_(static_cast<size_t>(seconds * rate), 0.0) {}

void Mix::put(size_t index, double value, double pan) {
    if (index < left_.size()) {
        left_[index] += value * std::sqrt(0.5 * (1.0 - pan));
        right_[index] += value * std::sqrt(0.5 * (1.0 + pan));
    }
}

void Mix::addNote(const Note& note) {
    const auto first = static_cast<size_t>(note.start * rate_);
    const auto count = static_cast<size_t>(note.length * rate_);
    const Envelope& env = note.envelope;
    double phase = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        double hz = note.toHz > 0.0 ? note.hz + (note.toHz - note.hz) * (t / note.length) : note.hz;
        if (note.vibrato > 0.0 && t > 0.12) {
            hz *= std::pow(2.0, note.vibrato * std::sin(kTwoPi * 5.5 * (t - 0.12)) / 12.0);
        }
        phase += kTwoPi * hz / rate_;
        double level = t < env.attack ? t / env.attack
                                      : env.sustain + (1.0 - env.sustain) * std::exp(-env.decay * (t - env.attack));
        const double left = note.length - t;
        if (left < env.release) {
            level *= left / env.release;
        }
        put(first + i, waveAt(note.wave, phase) * note.level * level, note.pan);
    }
}

void Mix::addNoise(double start, double length, double fromHz, double toHz, double level, double decay, double pan,
                   uint32_t seed) {
    Noise noise(seed);
    const auto first = static_cast<size_t>(start * rate_);
    const auto count = static_cast<size_t>(length * rate_);
    double low = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        const double cutoff = fromHz + (toHz - fromHz) * (t / length);
        const double k = 1.0 - std::exp(-kTwoPi * cutoff / rate_);
        low += (noise.next() - low) * k;
        const double attack = std::min(1.0, t * 500.0);
        const double fade = std::min(1.0, (length - t) * 200.0);
        put(first + i, low * level * attack * fade * std::exp(-decay * t), pan);
    }
}

void Mix::foldTail(double loopStart, double end) {
    const auto loop = static_cast<size_t>(loopStart * rate_);
    const auto cut = static_cast<size_t>(end * rate_);
    for (size_t i = cut; i < left_.size(); ++i) {
        const size_t target = loop + (i - cut);
        if (target < cut) {
            left_[target] += left_[i];
            right_[target] += right_[i];
        }
    }
    left_.resize(std::min(cut, left_.size()));
    right_.resize(left_.size());
}

PcmClip Mix::toClip(bool stereo, double peak) const {
    // Mono folds both sides back into the value that was put.
    const double monoGain = std::sqrt(0.5);
    double loudest = 0.0;
    for (size_t i = 0; i < left_.size(); ++i) {
        loudest = stereo ? std::max({loudest, std::fabs(left_[i]), std::fabs(right_[i])})
                         : std::max(loudest, std::fabs((left_[i] + right_[i]) * monoGain));
    }
    const double scale = loudest > peak ? peak / loudest : 1.0;
    PcmClip clip;
    clip.sampleRate = rate_;
    clip.channels = stereo ? 2 : 1;
    clip.samples.reserve(left_.size() * clip.channels);
    auto sample = [scale](double value) { return static_cast<int16_t>(std::lround(value * scale * 32767.0)); };
    for (size_t i = 0; i < left_.size(); ++i) {
        if (stereo) {
            clip.samples.push_back(sample(left_[i]));
            clip.samples.push_back(sample(right_[i]));
        } else {
            clip.samples.push_back(sample((left_[i] + right_[i]) * monoGain));
        }
    }
    return clip;
}

}  // namespace SoundGen
