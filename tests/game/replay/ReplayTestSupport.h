#pragma once
// A game stand-in for the replay code: a real random generator and a real key table whose
// twelve keys are bound to a scripted button device.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/input/IOrvexKeyBase.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "game/replay/IReplayContext.h"
#include "game/replay/ReplayRecords.h"

class ScriptedButtons : public Orvex::InputSystem::IOrvexKeyBase {
public:
    void clearAllKeys() override { down.fill(false); }
    void clearKey(uint32_t button) override {
        if (button < down.size()) down[button] = false;
    }
    bool isDown(uint32_t button) override { return button < down.size() && down[button]; }
    bool isPushed(uint32_t) override { return false; }
    bool isReleased(uint32_t) override { return false; }
    uint32_t getKeyCount() override { return static_cast<uint32_t>(down.size()); }

    std::array<bool, Fenwarrow::Replay::kReplayKeyCount> down{};
};

class ReplayTestGame : public Fenwarrow::Replay::IReplayContext {
public:
    ReplayTestGame() {
        live.addDevice(&buttons);
        for (uint32_t key = 0; key < Fenwarrow::Replay::kReplayKeyCount; ++key) live.bind(key, 0, key);
    }

    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }
    std::u16string getPlayerName() override { return playerName; }
    float getPlayTime() override { return playTime; }
    Orvex::InputSystem::OxVirtualKey& getLiveVirtualKey() override { return live; }

    // One frame of input: key k is held on frame f when pattern(f, k).
    void advance(const std::function<bool(uint32_t frame, uint32_t key)>& pattern) {
        for (uint32_t key = 0; key < buttons.down.size(); ++key) buttons.down[key] = pattern(frame, key);
        live.update();
        playTime += 1.0f / 60.0f;
        ++frame;
    }

    Orvex::Random::OxMT19937RandomGenerator random;
    ScriptedButtons buttons;
    Orvex::InputSystem::OxVirtualKey live;
    std::u16string playerName = u"テスター";
    float playTime = 0.0f;
    uint32_t frame = 0;
};

// Keys go down and up at different rhythms, so frames differ from each other.
inline bool busyPattern(uint32_t frame, uint32_t key) { return (frame / (key + 2)) % 3 == 0; }
