#pragma once
// The system keyboard. Buttons are the 144 key numbers of the key table.
#include <memory>

#include "engine/input/OxDI8DeviceBase.h"
#include "engine/input/OxKeyboardDevice.h"

namespace Orvex::InputSystem {

class OxDI8KeyboardDevice : public OxKeyboardDevice, public OxDI8DeviceBase {
public:
    OxDI8KeyboardDevice() = default;
    ~OxDI8KeyboardDevice() override;

    // Needs the main window; fails (and starts afresh next time) at the first failing step.
    bool initialize(const std::shared_ptr<Platform::Input::InputInterface>& input);
    void release() override;
    bool isReady() const { return acquired_.load(); }

    uint32_t getState() override { return stateWhenAcquired(); }
    void setState(uint32_t state) override { state_ = state; }
    void update() override;

    void clearAllKeys() override;
    void clearKey(uint32_t key) override;
    bool isDown(uint32_t key) override { return testButton(key, ButtonEdge::Down); }
    bool isPushed(uint32_t key) override { return testButton(key, ButtonEdge::Pushed); }
    bool isReleased(uint32_t key) override { return testButton(key, ButtonEdge::Released); }
    uint32_t getKeyCount() override;

private:
    bool buttonBytes(uint32_t key, uint8_t& current, uint8_t& previous) override;

    uint8_t keys_[2][256] = {};
    uint32_t current_ = 0;
};

}  // namespace Orvex::InputSystem
