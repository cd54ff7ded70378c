#pragma once
// A game pad found at start-up. Buttons 0-127 are the pad's own, in the platform's raw joystick
// numbering; buttons from 128 up are virtual buttons driven by axis bindings.
#include <atomic>
#include <memory>
#include <vector>

#include "engine/input/OxDI8DeviceBase.h"
#include "engine/input/OxGamePadDevice.h"

namespace Orvex::InputSystem {

class OxDI8GamePadDevice : public OxGamePadDevice, public OxDI8DeviceBase {
public:
    OxDI8GamePadDevice(const Platform::Input::DeviceGuid& instance, uint32_t index);
    ~OxDI8GamePadDevice() override;

    // The number of the first virtual button.
    static uint32_t getButtonCount() { return 128; }

    uint32_t getState() override;
    void setState(uint32_t state) override { state_ = state; }
    uint32_t getIndex() override { return index_; }
    void update() override;

    bool isNull() override { return false; }
    uint32_t getAxisCount() override;
    float getX() override;
    float getY() override;
    float getZ() override;
    float getRotX() override;
    float getRotY() override;
    float getRotZ() override;
    void clearKeyBinds() override;
    void addKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>& bind) override;
    void removeKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>& bind) override;

    void release() override;
    bool initialize(const std::shared_ptr<Platform::Input::InputInterface>& input);
    bool isAcquired() const { return acquired_.load(); }
    bool getUpdateFlag() const { return updateFlag_.load(); }
    uint32_t getPovCount();
    const Platform::Input::JoyState* getJoyState();
    bool isExclusive() const { return exclusive_; }
    void swapBuffers();
    void addVirtualButtons(uint32_t count);

    void clearAllKeys() override;
    void clearKey(uint32_t button) override;
    bool isDown(uint32_t button) override { return testButton(button, ButtonEdge::Down); }
    bool isPushed(uint32_t button) override;
    bool isReleased(uint32_t button) override { return testButton(button, ButtonEdge::Released); }
    uint32_t getKeyCount() override;

private:
    bool buttonBytes(uint32_t button, uint8_t& current, uint8_t& previous) override;
    // Zeroes the current state with the hats centred and the current virtual buttons.
    void clearCurrent();

    Platform::Input::DeviceGuid instance_;
    uint32_t index_;
    std::atomic<bool> updateFlag_{false};
    Platform::Input::DeviceCaps caps_{};
    Platform::Input::JoyState joy_[2] = {};
    std::vector<uint8_t> virtualButtons_[2];
    uint32_t current_ = 0;
    bool exclusive_ = false;
    std::vector<std::shared_ptr<IOrvexGamePadKeyBind>> keyBinds_;
    bool needsPoll_ = false;
};

}  // namespace Orvex::InputSystem
