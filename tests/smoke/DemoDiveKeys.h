#pragma once
// The recorded keys (ORVEX_INPUT_KEYS, counted in the game's keyboard reads) of a whole dive
// through the demo dungeon, from the title to the world map, on the floors of the seeded set-up
// chunks that tests/smoke/CMakeLists.txt puts into the patch archive (the first floor from the
// dungeon's set-up seeded with 5, the second and third floors' scripts seeded first). The game's
// moves advance by frames and its turns wait for the player, so the same keys on the same floors
// play the same dive; the stages leave the floors' loading screens ample reads.
//
// The floors of the seeds: 001 as the floor smoke test describes it (start (11, 8), a sword at
// (10, 8), the stairs at (27, 8)); 002 the fixed floor with its shop in the top middle room
// (goods on rows 2 and 3, the shopkeeper at (14, 5), the gate at (15, 6)) and the stairs in the
// bottom right room; 003 with the monster house in the middle of the floor, the stairs a step
// from its bottom gate.
#include <initializer_list>
#include <string>

namespace SmokeTest {

// The keyboard reads at which the stages of the dive are reached (each the read after the keys
// that lead to it).
struct DemoDive {
    std::string keys;
    int floor1 = 0;        // the first floor is up, nothing has moved
    int floor2 = 0;        // the second floor is up
    int shopSold = 0;      // the sword put down in the shop and sold to the shopkeeper
    int shopBought = 0;    // a tag taken from the goods and paid for
    int robbery = 0;       // out of the shop owing for a shield: the robber story
    int floor3 = 0;        // the third floor is up
    int monsterHouse = 0;  // the player has walked into the monster house
    int story = 0;         // the last stairs taken: the story comes
    int result = 0;        // the story read to its end: the result slides in
    int worldMap = 0;      // the replay kept: the world map comes
    int end = 0;           // the keys are over; the world map stays
};

class DemoDiveKeys {
public:
    // Holds the keys together for `reads` reads, then waits `after` reads.
    DemoDiveKeys& press(std::initializer_list<const char*> keys, int reads, int after) {
        for (const char* key : keys) {
            list_ += std::to_string(read_) + ":" + key + "+," + std::to_string(read_ + reads) + ":" + key + "-,";
        }
        read_ += reads + after;
        return *this;
    }
    // One step: a direction key moves once it has been held for four reads; a step takes 16
    // reads and the enemies' turns follow it.
    DemoDiveKeys& step(const char* key, int count = 1) {
        for (int i = 0; i < count; ++i) press({key}, 6, 40);
        return *this;
    }
    // A direction held until a wall stops the walk: 20 reads a step.
    DemoDiveKeys& walk(const char* key, int cells) { return press({key}, 4 + 20 * cells, 40); }
    // Faces the direction without a step (the turn key held).
    DemoDiveKeys& face(const char* key) { return press({"X", key}, 10, 30); }
    // A menu key: pushed, then time for the window to follow.
    DemoDiveKeys& menu(const char* key) { return press({key}, 4, 40); }
    DemoDiveKeys& wait(int reads) { return press({}, 0, reads); }

    int read() const { return read_; }
    const std::string& list() const { return list_; }

private:
    int read_ = 300;
    std::string list_;
};

inline DemoDive demoDive() {
    DemoDive dive;
    DemoDiveKeys keys;
    // "New game" on the title; the first floor is up well before read 1200.
    keys.press({"Z"}, 3, 897);
    dive.floor1 = keys.read();
    // The sword beside the start, then out of the room and along the corridor to the stairs:
    // "すすむ".
    keys.step("Left").step("Right");
    keys.walk("Up", 6).walk("Right", 9).walk("Down", 3).walk("Right", 16).walk("Down", 4).step("Left", 7).wait(200);
    keys.menu("Z").wait(700);
    dive.floor2 = keys.read();
    // Through the first room's gate, down the corridor and up into the shop.
    keys.walk("Right", 6).walk("Down", 4).step("Right", 5).step("Up", 3);
    // The sword put down inside the entrance and sold: the menu's items, the sword, "置く"; then
    // a word with the shopkeeper on the left.
    keys.menu("S").menu("Z").menu("Z").menu("Down").menu("Down").menu("Z").wait(60);
    keys.face("Left").menu("Z").wait(60);
    dive.shopSold = keys.read();
    // The tag from the goods, paid for from beside the shopkeeper (the sword, sold, lies where
    // the player stood).
    keys.step("Up", 2).step("Left").step("Down").face("Down").menu("Z").wait(60);
    dive.shopBought = keys.read();
    // The shield, carried out unpaid with the sword: the robber story, its lines read on.
    keys.step("Up", 2).step("Right").step("Down", 4).wait(120);
    dive.robbery = keys.read();
    keys.wait(60).menu("Z").wait(60).menu("Z").wait(120).menu("Z").wait(60);
    // Along the corridor, through the right room and down into the bottom right room to the
    // stairs: "すすむ".
    keys.step("Down", 2).walk("Right", 8).step("Down", 7).step("Right").step("Down");
    keys.wait(200).menu("Z").wait(700);
    dive.floor3 = keys.read();
    // Out of the start's room along the bottom corridor, through the middle room, and up the
    // corridor to the monster house's bottom gate ("モンスターハウスだ！"); one step across to the
    // stairs: "すすむ".
    for (int i = 0; i < 4; ++i) keys.press({"W", "Down", "Left"}, 6, 40);
    keys.walk("Left", 20).walk("Up", 7).step("Right").walk("Up", 4).walk("Right", 8).step("Up", 2);
    dive.monsterHouse = keys.read();
    keys.press({"W", "Up", "Left"}, 6, 40).wait(200).menu("Z");
    // The story: three lines read on.
    dive.story = keys.read();
    keys.wait(400).menu("Z").wait(90).menu("Z").wait(150).menu("Z");
    // The result, slid in: on to the replay prompt, "はい", and on to the world map.
    dive.result = keys.read();
    keys.wait(400).menu("Z").wait(90).menu("Z").wait(90).menu("Z");
    dive.worldMap = keys.read();
    keys.wait(300);
    dive.end = keys.read();
    dive.keys = keys.list();
    return dive;
}

// The keys of the whole dive, for a test that records it or plays it back.
inline std::string demoDiveKeys() { return demoDive().keys; }

}  // namespace SmokeTest
