// The background music: short looping pieces written as scores (a melody over a chord per bar)
// and played by a lead, a harmony, a bass and sometimes drums. Each piece starts with a few bars
// of accompaniment; the loop point (LOOP_START) is where the melody begins.
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/soundgen/SoundCatalogue.h"
#include "tools/soundgen/Synth.h"

namespace SoundGen {
namespace {

constexpr uint32_t kMusicRate = 32000;
constexpr double kMusicPeak = 0.7;

enum class Bass { Hold, Walk, Pulse };
enum class Harmony { Pad, Arpeggio, Stab };
enum class Drums { None, Soft, Beat, Fast };

struct Song {
    double bpm;
    int beatsPerBar;
    double tonic;  // semitones from A4 of the melody's degree 1
    bool minor;
    Wave lead;
    double leadDecay;
    double leadSustain;
    double legato;  // the part of its time a melody note sounds
    double vibrato;
    Bass bass;
    Harmony harmony;
    Drums drums;
    // Notes: a degree 1-7 of the scale, "'" an octave up, "," an octave down, "#" or "b" a
    // semitone, then ":" and a length in beats (1 when left out); "r" is a rest. Chords name the
    // degree of their root, one bar each unless a length is given.
    const char* introChords;
    const char* chords;
    const char* melody;
};

// Degree 1 .. 7 of the scale in semitones above the tonic. Minor keys sound their fifth chord
// with the raised leading note, as the harmonic minor does.
int scaleStep(bool minor, int degree) {
    static const int kMajor[] = {0, 2, 4, 5, 7, 9, 11};
    static const int kMinor[] = {0, 2, 3, 5, 7, 8, 10};
    const int octave = (degree - 1) / 7;
    const int index = (degree - 1) % 7;
    return (minor ? kMinor[index] : kMajor[index]) + 12 * octave;
}

struct ScoreNote {
    bool rest = false;
    int degree = 1;
    double semitones = 0.0;  // above the tonic
    double beats = 1.0;
};

std::vector<ScoreNote> parseScore(const std::string& text, bool minor) {
    std::vector<ScoreNote> notes;
    std::istringstream tokens(text);
    for (std::string token; tokens >> token;) {
        ScoreNote note;
        size_t at = 0;
        if (token[0] == 'r') {
            note.rest = true;
            at = 1;
        } else if (token[0] >= '1' && token[0] <= '7') {
            note.degree = token[0] - '0';
            note.semitones = scaleStep(minor, note.degree);
            at = 1;
            for (; at < token.size() && token[at] != ':'; ++at) {
                switch (token[at]) {
                    case '\'':
                        note.semitones += 12;
                        break;
                    case ',':
                        note.semitones -= 12;
                        break;
                    case '#':
                        note.semitones += 1;
                        break;
                    case 'b':
                        note.semitones -= 1;
                        break;
                    default:
                        throw std::invalid_argument("bad mark in score note: " + token);
                }
            }
        } else {
            throw std::invalid_argument("bad score note: " + token);
        }
        if (at < token.size()) {
            note.beats = std::stod(token.substr(at + 1));
            if (!(note.beats > 0.0)) {
                throw std::invalid_argument("bad length in score note: " + token);
            }
        }
        notes.push_back(note);
    }
    return notes;
}

double totalBeats(const std::vector<ScoreNote>& notes) {
    double beats = 0.0;
    for (const ScoreNote& note : notes) {
        beats += note.beats;
    }
    return beats;
}

// Chords last a bar unless the score says otherwise.
std::vector<ScoreNote> parseChords(const std::string& text, const Song& song) {
    std::vector<ScoreNote> chords = parseScore(text, song.minor);
    for (ScoreNote& chord : chords) {
        if (text.find(':') == std::string::npos) {
            chord.beats = song.beatsPerBar;
        }
    }
    return chords;
}

class Player {
public:
    Player(const Song& song, Mix& mix) : song_(song), mix_(mix), beat_(60.0 / song.bpm) {}

    void chord(const ScoreNote& chord, double start) {
        const double root = song_.tonic + chord.semitones;
        // The third and fifth counted up the scale from the root.
        const int third = scaleStep(song_.minor, chord.degree + 2) - scaleStep(song_.minor, chord.degree);
        const bool raisedThird = song_.minor && chord.degree == 5;
        const double triad[] = {
            root - 12, root - 12 + third + (raisedThird ? 1 : 0),
            root - 12 + scaleStep(song_.minor, chord.degree + 4) - scaleStep(song_.minor, chord.degree)};
        const double length = chord.beats * beat_;
        playBass(root - 24, triad[2] - 12, start, chord.beats);
        switch (song_.harmony) {
            case Harmony::Pad:
                for (double semitone : triad) {
                    mix_.addNote(note(start, length, semitone, 0.09, Wave::Triangle, 0.6, 0.5, -0.3, 0.08));
                }
                break;
            case Harmony::Arpeggio:
                for (int i = 0; i < static_cast<int>(chord.beats * 2); ++i) {
                    const double semitone = triad[(i % 4 == 3) ? 1 : i % 4] + 12;
                    mix_.addNote(
                        note(start + i * beat_ / 2, beat_ * 0.9, semitone, 0.07, Wave::Sine, 5.0, 0.0, -0.4, 0.01));
                }
                break;
            case Harmony::Stab:
                for (int i = 0; i < static_cast<int>(chord.beats); ++i) {
                    for (double semitone : triad) {
                        mix_.addNote(note(start + (i + 0.5) * beat_, beat_ * 0.3, semitone + 12, 0.06, Wave::Square,
                                          8.0, 0.0, -0.3, 0.005));
                    }
                }
                break;
        }
    }

    void melody(const std::vector<ScoreNote>& notes, double start) {
        double at = start;
        for (const ScoreNote& score : notes) {
            if (!score.rest) {
                Note lead = note(at, score.beats * beat_ * song_.legato, song_.tonic + score.semitones, 0.22,
                                 song_.lead, song_.leadDecay, song_.leadSustain, 0.15, 0.01);
                lead.vibrato = score.beats >= 1.0 ? song_.vibrato : 0.0;
                mix_.addNote(lead);
            }
            at += score.beats * beat_;
        }
    }

    void drums(double start, double bars) {
        const int beats = static_cast<int>(bars * song_.beatsPerBar);
        for (int b = 0; b < beats; ++b) {
            const double at = start + b * beat_;
            const int inBar = b % song_.beatsPerBar;
            const uint32_t seed = static_cast<uint32_t>(b) * 31u + 5u;
            switch (song_.drums) {
                case Drums::None:
                    break;
                case Drums::Soft:
                    if (inBar == 0) {
                        kick(at, 0.35);
                    }
                    if (inBar == 2) {
                        mix_.addNoise(at, 0.05, 9000.0, 9000.0, 0.06, 60.0, 0.3, seed);
                    }
                    break;
                case Drums::Beat:
                case Drums::Fast:
                    if (inBar % 2 == 0) {
                        kick(at, 0.45);
                    } else {
                        mix_.addNoise(at, 0.14, 4000.0, 1500.0, 0.3, 22.0, 0.0, seed);
                    }
                    for (int half = 0; half < (song_.drums == Drums::Fast ? 2 : 1); ++half) {
                        mix_.addNoise(at + half * beat_ / 2 + (song_.drums == Drums::Beat ? beat_ / 2 : 0.0), 0.04,
                                      10000.0, 10000.0, 0.07, 70.0, 0.35, seed + 1u + half);
                    }
                    break;
            }
        }
    }

    double beat() const { return beat_; }

private:
    static Note note(double start, double length, double semitone, double level, Wave wave, double decay,
                     double sustain, double pan, double attack) {
        Note n;
        n.start = start;
        n.length = length;
        n.hz = semitoneHz(semitone);
        n.level = level;
        n.wave = wave;
        n.pan = pan;
        n.envelope.attack = attack;
        n.envelope.decay = decay;
        n.envelope.sustain = sustain;
        n.envelope.release = std::fmin(0.06, length / 3.0);
        return n;
    }

    void kick(double at, double level) {
        Note thump = note(at, 0.14, -33, level, Wave::Sine, 18.0, 0.0, 0.0, 0.002);
        thump.toHz = 45.0;
        mix_.addNote(thump);
    }

    void playBass(double root, double fifth, double start, double beats) {
        switch (song_.bass) {
            case Bass::Hold:
                mix_.addNote(note(start, beats * beat_, root, 0.3, Wave::Triangle, 0.8, 0.4, 0.0, 0.02));
                break;
            case Bass::Walk:
                for (int i = 0; i < static_cast<int>(beats); i += 2) {
                    const double semitone = (i / 2) % 2 == 0 ? root : fifth;
                    mix_.addNote(
                        note(start + i * beat_, 2 * beat_ * 0.95, semitone, 0.3, Wave::Triangle, 1.5, 0.3, 0.0, 0.01));
                }
                break;
            case Bass::Pulse:
                for (int i = 0; i < static_cast<int>(beats * 2); ++i) {
                    mix_.addNote(
                        note(start + i * beat_ / 2, beat_ * 0.45, root, 0.28, Wave::Triangle, 4.0, 0.2, 0.0, 0.005));
                }
                break;
        }
    }

    const Song& song_;
    Mix& mix_;
    double beat_;
};

const std::map<std::string, Song>& songs() {
    static const std::map<std::string, Song> kSongs = {
        // The title: a calm, proud march.
        {"title",
         {92, 4, 3, false, Wave::Square, 1.2, 0.45, 0.95, 0.2, Bass::Walk, Harmony::Pad, Drums::Soft, "1 5",
          "1 5 6 4 1 5 4 5",
          "3 5 1':2  7:1.5 6:0.5 5:2  6 1' 3':2  2':1.5 1':0.5 6:2  "
          "5 3 5 1'  2':2 7:2  1' 6 4 6  5:3 r"}},
        // The first dungeon: slow and a little uneasy.
        {"dungeon",
         {84, 4, 0, true, Wave::Triangle, 0.7, 0.5, 0.98, 0.3, Bass::Hold, Harmony::Arpeggio, Drums::None, "1 1",
          "1 6 7 1 4 1 5 5", "5:2 3 1  r 3 4 3  2:2 7,:2  1:3 r  4:1.5 5:0.5 6:2  5 3 1:2  2 3 5 7#,  2:2 7#,:2"}},
        // The shop: a bouncy tune.
        {"shop",
         {120, 4, 8, false, Wave::Square, 6.0, 0.2, 0.7, 0.0, Bass::Walk, Harmony::Stab, Drums::Beat, "1 5",
          "1 6 2 5 1 4 5 1",
          "1':0.5 7:0.5 1':0.5 3':0.5 5' 3'  1':0.5 2':0.5 3':0.5 1':0.5 6:2  "
          "2':0.5 3':0.5 4':0.5 2':0.5 6 4  5 7 2':2  3':0.5 2':0.5 1':0.5 7:0.5 1' 5  "
          "6:0.5 7:0.5 1':0.5 6:0.5 4:2  5:0.5 6:0.5 7:0.5 1':0.5 2' 7  1':2 r:2"}},
        // The monster house: fast and pressing.
        {"house",
         {150, 4, 5, true, Wave::Saw, 5.0, 0.3, 0.85, 0.0, Bass::Pulse, Harmony::Stab, Drums::Fast, "1 5",
          "1 1 6 7 1 1 4 5",
          "1:0.5 1:0.5 5:0.5 1:0.5 6 5  4:0.5 3:0.5 2:0.5 3:0.5 1:2  3:0.5 4:0.5 5:0.5 6:0.5 1' 6  7 5 2:2  "
          "1':0.5 1':0.5 7:0.5 6:0.5 5 3  4:0.5 5:0.5 6:0.5 5:0.5 1:2  4 6 1' 6  7#:2 5:2"}},
        // The world map: a pastoral waltz.
        {"worldmap",
         {108, 3, -2, false, Wave::Sine, 0.9, 0.6, 0.97, 0.35, Bass::Hold, Harmony::Arpeggio, Drums::None, "1 5",
          "1 4 1 5 6 4 5 1", "5:2 3  4 6 1'  5:2 3  2:3  3 6 1'  1' 6 4  2:1.5 3:0.5 2  1:3"}},
        // The robbery: a chase.
        {"chase",
         {168, 4, 7, true, Wave::Square, 4.0, 0.3, 0.8, 0.0, Bass::Pulse, Harmony::Stab, Drums::Fast, "1 5",
          "1 7 6 5 1 7 6 5",
          "1':0.5 7:0.5 1':0.5 5:0.5 1':0.5 7:0.5 1'  7:0.5 6:0.5 7:0.5 4:0.5 7:0.5 6:0.5 7  "
          "6:0.5 5:0.5 6:0.5 3:0.5 6:0.5 5:0.5 6  7#,:0.5 2:0.5 5:0.5 7#:0.5 5:2  "
          "3':0.5 2':0.5 1':0.5 7:0.5 1' 5  2':0.5 1':0.5 7:0.5 6:0.5 7 4  "
          "1':0.5 7:0.5 6:0.5 5:0.5 6 3  7# 2' 7#:2"}},
        // The sound test: a scale up and down.
        {"scale",
         {120, 4, 3, false, Wave::Sine, 1.0, 0.5, 0.9, 0.0, Bass::Hold, Harmony::Pad, Drums::None, "1", "1 4 5 1",
          "1:0.5 2:0.5 3:0.5 4:0.5 5:0.5 6:0.5 7:0.5 1':0.5  1':0.5 7:0.5 6:0.5 5:0.5 4:0.5 3:0.5 2:0.5 1:0.5  "
          "5:2 2:2  1:3 r"}},
    };
    return kSongs;
}

}  // namespace

MusicClip synthMusic(const std::string& tune) {
    const auto found = songs().find(tune);
    if (found == songs().end()) {
        throw std::invalid_argument("unknown music recipe: " + tune);
    }
    const Song& song = found->second;
    const std::vector<ScoreNote> intro = parseChords(song.introChords, song);
    const std::vector<ScoreNote> chords = parseChords(song.chords, song);
    const std::vector<ScoreNote> melody = parseScore(song.melody, song.minor);
    if (std::fabs(totalBeats(melody) - totalBeats(chords)) > 1e-9) {
        throw std::invalid_argument("the melody of " + tune + " does not fill its chords");
    }
    const double beat = 60.0 / song.bpm;
    const double loopStart = totalBeats(intro) * beat;
    const double end = loopStart + totalBeats(chords) * beat;
    // One bar more than the piece: what still rings at the end is folded onto the loop start.
    Mix mix(kMusicRate, end + song.beatsPerBar * beat);
    Player player(song, mix);
    double at = 0.0;
    for (const ScoreNote& chord : intro) {
        player.chord(chord, at);
        at += chord.beats * beat;
    }
    for (const ScoreNote& chord : chords) {
        player.chord(chord, at);
        at += chord.beats * beat;
    }
    player.melody(melody, loopStart);
    player.drums(0.0, (end / beat) / song.beatsPerBar);
    mix.foldTail(loopStart, end);
    return {mix.toClip(true, kMusicPeak), loopStart};
}

}  // namespace SoundGen
