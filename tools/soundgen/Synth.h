#pragma once
// The small synthesiser behind every generated sound: notes of a few band-limited wave shapes
// with an attack-decay-release envelope, filtered noise, and a stereo mix bus.
#include <cstdint>
#include <vector>

#include "tools/soundgen/SoundEncoding.h"

namespace SoundGen {

// Odd harmonics only (hollow), all harmonics (bright), or a plain sine; every shape is built
// from a handful of harmonics so that nothing aliases at the rates used here.
enum class Wave { Sine, Triangle, Square, Saw, Bell };

struct Envelope {
    double attack = 0.005;  // seconds to full level
    double decay = 4.0;     // exponential fall per second after the attack
    double sustain = 0.0;   // level the decay falls towards (0..1)
    double release = 0.03;  // seconds of fade-out at the note's end (no click)
};

struct Note {
    double start = 0.0;   // seconds
    double length = 0.1;  // seconds, release included
    double hz = 440.0;
    double toHz = 0.0;  // a linear slide to this frequency when non-zero
    double level = 0.3;
    double pan = 0.0;      // -1 left .. 1 right
    double vibrato = 0.0;  // depth in semitones (5.5 Hz), after a short delay
    Wave wave = Wave::Sine;
    Envelope envelope;
};

// A deterministic noise source (no library generator: its sequence may differ by platform).
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    // -1 .. 1
    double next();

private:
    uint32_t state_;
};

// The frequency of the note that many semitones from A4 (440 Hz).
double semitoneHz(double semitonesFromA4);

class Mix {
public:
    Mix(uint32_t rate, double seconds);

    void addNote(const Note& note);
    // Noise through a one-pole low-pass whose cut-off slides from fromHz to toHz; the level
    // decays exponentially after a short attack.
    void addNoise(double start, double length, double fromHz, double toHz, double level, double decay, double pan,
                  uint32_t seed);
    // Adds the samples past `end` onto the samples from `loopStart` on and cuts the mix at `end`:
    // what rings over the end of a loop sounds at its start, as it would when it loops.
    void foldTail(double loopStart, double end);

    uint32_t rate() const { return rate_; }
    double seconds() const { return static_cast<double>(left_.size()) / rate_; }
    // Scaled so that the loudest sample reaches `peak` (0..1) when louder; never boosted.
    PcmClip toClip(bool stereo, double peak) const;

private:
    void put(size_t index, double value, double pan);

    uint32_t rate_;
    std::vector<double> left_;
    std::vector<double> right_;
};

}  // namespace SoundGen
