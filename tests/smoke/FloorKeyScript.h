#pragma once
// Recorded keys for the seeded first floor of the first dungeon (see FloorRunTest.cpp for its
// layout), counted in keyboard reads. "New game" is chosen on the title at read 300; the floor
// is up well before read 1200, and nothing moves on it before the player does, so that is where
// the floor's keys start.
#include <initializer_list>
#include <string>

namespace SmokeTest {

class FloorKeyScript {
public:
    FloorKeyScript() { press({"Z"}, 3, 897); }

    // Holds the keys together for `reads` reads, then waits `after` reads.
    FloorKeyScript& press(std::initializer_list<const char*> keys, int reads, int after) {
        for (const char* key : keys) {
            list_ += std::to_string(read_) + ":" + key + "+," + std::to_string(read_ + reads) + ":" + key + "-,";
        }
        read_ += reads + after;
        return *this;
    }
    // One step: a single direction key moves once it has been held for four reads; a step
    // takes 16 reads and the enemies' turns follow it.
    FloorKeyScript& step(const char* key, int count = 1) {
        for (int i = 0; i < count; ++i) {
            press({key}, 6, 40);
        }
        return *this;
    }
    // A direction held until a wall stops the walk: 20 reads a step.
    FloorKeyScript& walk(const char* key, int cells) { return press({key}, 4 + 20 * cells, 40); }
    // A menu key: pushed, then time for the window to follow.
    FloorKeyScript& menu(const char* key) { return press({key}, 4, 40); }
    FloorKeyScript& wait(int reads) { return press({}, 0, reads); }

    int read() const { return read_; }
    const std::string& list() const { return list_; }

private:
    int read_ = 300;
    std::string list_;
};

// Picks up a sword, a shield and a tag, equips the sword, throws the tag, reads the log, runs,
// and gives up through "中断", "断念する" and "はい"; the result scene follows.
inline FloorKeyScript playFloorAndGiveUp() {
    FloorKeyScript keys;
    keys.step("Left").step("Down").step("Left");
    keys.menu("S").menu("Z").menu("Z").menu("Z").menu("A").menu("A").wait(60);
    keys.menu("S").wait(100).menu("Z").menu("Down").menu("Down").menu("Z").wait(60);
    keys.menu("Down").menu("Z").menu("A").menu("A").wait(60);
    keys.menu("S").menu("Down").menu("Down").menu("Z").menu("Z").wait(160);
    keys.menu("A").menu("A").menu("A");
    keys.press({"A", "Right"}, 80, 40).wait(60);
    keys.menu("S").menu("Down").menu("Down").menu("Down").menu("Z").menu("Z").wait(100).menu("Z").wait(400);
    return keys;
}

}  // namespace SmokeTest
