// The sound effects and jingles: short, each with its own shape so that a player tells them
// apart by ear (a bright blip to confirm, a falling one to cancel, a dry tick for the cursor).
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "tools/soundgen/SoundCatalogue.h"
#include "tools/soundgen/Synth.h"

namespace SoundGen {
namespace {

constexpr uint32_t kEffectRate = 22050;
constexpr double kEffectPeak = 0.8;

// Semitones from A4 of the notes used below.
constexpr double kC5 = 3, kD5 = 5, kE5 = 7, kF5 = 8, kG5 = 10, kA5 = 12, kB5 = 14, kC6 = 15, kE6 = 19, kG6 = 22;
constexpr double kC4 = -9, kEb4 = -6, kG4 = -2, kAb4 = -1, kBb4 = 1;

Note tone(double start, double length, double semitone, double level, Wave wave, double decay) {
    Note note;
    note.start = start;
    note.length = length;
    note.hz = semitoneHz(semitone);
    note.level = level;
    note.wave = wave;
    note.envelope.decay = decay;
    return note;
}

// A few notes played one after another, each ringing on: jingles and fanfares.
void arpeggio(Mix& mix, double start, double step, std::initializer_list<double> notes, double ring, double level,
              Wave wave) {
    double at = start;
    for (double semitone : notes) {
        mix.addNote(tone(at, ring, semitone, level, wave, 3.0));
        at += step;
    }
}

void decide(Mix& mix) {
    mix.addNote(tone(0.0, 0.09, kA5, 0.5, Wave::Square, 18.0));
    mix.addNote(tone(0.06, 0.16, kE6, 0.5, Wave::Square, 16.0));
}

void cancel(Mix& mix) {
    Note fall = tone(0.0, 0.16, kE5, 0.5, Wave::Triangle, 10.0);
    fall.toHz = semitoneHz(kE5 - 9);
    mix.addNote(fall);
}

void cursor(Mix& mix) { mix.addNote(tone(0.0, 0.035, kC6 + 12, 0.35, Wave::Sine, 60.0)); }

void pickUp(Mix& mix) { arpeggio(mix, 0.0, 0.05, {kC6, kE6, kG6}, 0.2, 0.35, Wave::Bell); }

// A low growl, twice: the stomach.
void hunger(Mix& mix) {
    for (double at : {0.0, 0.3}) {
        Note growl = tone(at, 0.25, kC4 - 17, 0.7, Wave::Saw, 3.0);
        growl.toHz = semitoneHz(kC4 - 20);
        growl.vibrato = 1.0;
        growl.envelope.attack = 0.03;
        mix.addNote(growl);
    }
}

// Played on a floor while the music pauses: a short call to attention.
void fanfare(Mix& mix) {
    arpeggio(mix, 0.0, 0.11, {kG4, kC5, kE5}, 0.5, 0.3, Wave::Square);
    Note hold = tone(0.33, 0.9, kG5, 0.32, Wave::Square, 2.0);
    hold.vibrato = 0.25;
    mix.addNote(hold);
    for (double semitone : {kC5 - 12, kG4 - 12}) {
        mix.addNote(tone(0.33, 0.9, semitone, 0.25, Wave::Triangle, 1.5));
    }
}

// A rising run that lands on a bright chord.
void levelUp(Mix& mix) {
    arpeggio(mix, 0.0, 0.07, {kC5, kD5, kE5, kG5, kA5, kC6}, 0.25, 0.28, Wave::Square);
    for (double semitone : {kC6, kE6, kG6}) {
        Note chord = tone(0.45, 1.0, semitone, 0.2, Wave::Bell, 2.5);
        mix.addNote(chord);
    }
    mix.addNote(tone(0.45, 1.0, kC4, 0.3, Wave::Triangle, 1.5));
}

// The end of a run that did not make it: a slow minor fall.
void resultFallen(Mix& mix) {
    const double notes[] = {kG4, kEb4, kC4, kG4 - 12};
    for (int i = 0; i < 4; ++i) {
        Note note = tone(i * 0.42, 0.8, notes[i], 0.32, Wave::Triangle, 2.0);
        note.vibrato = 0.2;
        mix.addNote(note);
    }
    for (double semitone : {kC4 - 12, kEb4 - 12, kAb4 - 12}) {
        mix.addNote(tone(0.0, 2.4, semitone, 0.14, Wave::Sine, 0.8));
    }
}

// Arrival somewhere new: two soft bells.
void chime(Mix& mix) {
    mix.addNote(tone(0.0, 1.0, kE6, 0.3, Wave::Bell, 3.5));
    mix.addNote(tone(0.18, 1.0, kB5, 0.3, Wave::Bell, 3.5));
}

// A cleared run: a triumphant call and a held major chord.
void resultCleared(Mix& mix) {
    const double call[] = {kC5, kC5, kC5, kG5, kF5, kG5};
    const double at[] = {0.0, 0.12, 0.24, 0.36, 0.66, 0.78};
    for (int i = 0; i < 6; ++i) {
        mix.addNote(tone(at[i], 0.3, call[i], 0.3, Wave::Square, 6.0));
    }
    for (double semitone : {kC5, kE5, kG5, kC6}) {
        Note chord = tone(0.96, 1.6, semitone, 0.18, Wave::Square, 1.2);
        chord.vibrato = 0.15;
        mix.addNote(chord);
    }
    mix.addNote(tone(0.96, 1.6, kC4 - 12, 0.35, Wave::Triangle, 1.0));
    mix.addNote(tone(0.36, 0.3, kBb4 - 12, 0.25, Wave::Triangle, 4.0));
}

void hit(Mix& mix) {
    mix.addNoise(0.0, 0.16, 2500.0, 300.0, 1.0, 22.0, 0.0, 7);
    Note thud = tone(0.0, 0.12, kC4 - 12, 0.8, Wave::Sine, 25.0);
    thud.toHz = semitoneHz(kC4 - 26);
    mix.addNote(thud);
}

// Air cut by a swing that meets nothing.
void miss(Mix& mix) { mix.addNoise(0.0, 0.22, 400.0, 3500.0, 1.4, 6.0, 0.0, 11); }

void step(Mix& mix) {
    mix.addNoise(0.0, 0.06, 900.0, 200.0, 0.7, 50.0, 0.0, 13);
    mix.addNote(tone(0.0, 0.05, kC4 - 14, 0.3, Wave::Sine, 60.0));
}

struct EffectRecipe {
    double seconds;
    std::function<void(Mix&)> paint;
};

const std::map<std::string, EffectRecipe>& recipes() {
    static const std::map<std::string, EffectRecipe> kRecipes = {
        {"decide", {0.24, decide}},  {"cancel", {0.18, cancel}},
        {"cursor", {0.05, cursor}},  {"pickup", {0.32, pickUp}},
        {"hunger", {0.6, hunger}},   {"fanfare", {1.3, fanfare}},
        {"levelup", {1.5, levelUp}}, {"result", {2.5, resultFallen}},
        {"chime", {1.2, chime}},     {"cleared", {2.6, resultCleared}},
        {"hit", {0.18, hit}},        {"miss", {0.24, miss}},
        {"step", {0.08, step}},
    };
    return kRecipes;
}

}  // namespace

PcmClip synthEffect(const std::string& recipe) {
    const auto found = recipes().find(recipe);
    if (found == recipes().end()) {
        throw std::invalid_argument("unknown sound recipe: " + recipe);
    }
    Mix mix(kEffectRate, found->second.seconds);
    found->second.paint(mix);
    return mix.toClip(false, kEffectPeak);
}

}  // namespace SoundGen
