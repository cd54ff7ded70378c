#pragma once
// The replay's current frame seen as an input device with twelve buttons. No button reads as
// down, pushed or released while no frame is loaded. The device keeps a copy of the frame, as
// the controller's frame list grows and is replaced while the device is between updates.
#include <cstdint>
#include <optional>

#include "engine/input/IOrvexInputDevice.h"
#include "engine/input/IOrvexKeyBase.h"
#include "game/replay/ReplayRecords.h"

namespace Fenwarrow::Replay {

class CReplayController;

class CReplayDevice : public Orvex::InputSystem::IOrvexInputDevice, public Orvex::InputSystem::IOrvexKeyBase {
public:
    static constexpr uint32_t kKind = 3;

    explicit CReplayDevice(CReplayController& controller) : controller_(controller) {}
    CReplayDevice(const CReplayDevice&) = delete;
    CReplayDevice& operator=(const CReplayDevice&) = delete;
    ~CReplayDevice() override = default;

    uint32_t getKind() override { return kKind; }
    uint32_t getState() override { return Orvex::InputSystem::kStateInUse; }
    uint32_t getIndex() override { return 0; }
    // Takes the controller's current frame (none when no replay is loaded).
    void update() override;

    void clearAllKeys() override {}
    void clearKey(uint32_t) override {}
    bool isDown(uint32_t button) override;
    bool isPushed(uint32_t button) override;
    bool isReleased(uint32_t button) override;
    uint32_t getKeyCount() override { return static_cast<uint32_t>(kReplayKeyCount); }

private:
    const CReplayKeyState* button(uint32_t index) const;

    std::optional<CReplayFrame> currentFrame_;
    CReplayController& controller_;
};

}  // namespace Fenwarrow::Replay
