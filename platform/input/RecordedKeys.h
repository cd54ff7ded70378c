#pragma once
// Key presses recorded for a run without a person at the keyboard (tests and benchmarks of the
// real program). ORVEX_INPUT_KEYS lists changes as "<read>:<key><+|->" separated by commas:
// at the game's <read>-th keyboard read (1 is the first) the key, named as SDL names it
// ("Down", "Z", "Return"), goes down (+) or up (-); spaces around an entry are ignored.
// "Pad<n>" names input n of a recorded game pad, numbered as the key settings number them:
// 0-127 its buttons, 128-131 its stick pushed all the way up, right, down and left.
// Counting reads instead of time makes a recorded run repeat exactly however fast the machine is.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/input/InputTypes.h"

namespace Platform::Input {

class RecordedKeys {
public:
    RecordedKeys() = default;
    // Parses the list; an entry it cannot read is reported on stderr and skipped.
    explicit RecordedKeys(const std::string& list);
    // The list the environment gives; empty without one.
    static RecordedKeys fromEnvironment();

    bool empty() const { return changes_.empty() && padChanges_.empty(); }
    // Whether the list names any game-pad input, so that a pad has to be there to take it.
    bool hasPad() const { return !padChanges_.empty(); }
    // One recorded change: the engine's key code, SDL's scancode, and whether it goes down.
    struct Change {
        uint8_t code = 0;
        int32_t scancode = 0;
        bool down = false;
    };
    // Counts one keyboard read and applies the changes recorded for it to the key record, and
    // the pad's to `pad` when there is one; returns the key changes, in the order given.
    std::vector<Change> applyNextRead(uint8_t (&keys)[256], JoyState* pad = nullptr);

private:
    struct PadChange {
        uint32_t input = 0;
        bool down = false;
    };
    static void applyPadChange(const PadChange& change, JoyState& pad);

    std::map<uint64_t, std::vector<Change>> changes_;
    std::map<uint64_t, std::vector<PadChange>> padChanges_;
    uint64_t reads_ = 0;
};

}  // namespace Platform::Input
