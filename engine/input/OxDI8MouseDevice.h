#pragma once
// The system mouse: relative movement per update, four buttons (left, right, middle, extra)
// and the cursor in client coordinates of the main window.
#include <memory>

#include "engine/input/OxDI8DeviceBase.h"
#include "engine/input/OxMouseDevice.h"

namespace Orvex::InputSystem {

class OxDI8MouseDevice : public OxMouseDevice, public OxDI8DeviceBase {
public:
    OxDI8MouseDevice() = default;
    ~OxDI8MouseDevice() override;

    bool initialize(const std::shared_ptr<Platform::Input::InputInterface>& input);
    void release() override;
    bool isReady() override { return acquired_.load(); }

    uint32_t getState() override { return stateWhenAcquired(); }
    void setState(uint32_t state) override { state_ = state; }
    void update() override;

    int32_t getX() override;
    int32_t getY() override;
    int32_t getWheel() override;
    void getMovement(int32_t& x, int32_t& y, int32_t& wheel) override;
    void getMovementXY(int32_t& x, int32_t& y) override;
    int32_t getCursorX() override;
    int32_t getCursorY() override;
    void getCursorPos(int32_t& x, int32_t& y) override;
    void setCursorPos(int32_t x, int32_t y) override;

    void clearAllKeys() override;
    void clearKey(uint32_t button) override;
    bool isDown(uint32_t button) override { return testButton(button, ButtonEdge::Down); }
    bool isPushed(uint32_t button) override { return testButton(button, ButtonEdge::Pushed); }
    bool isReleased(uint32_t button) override { return testButton(button, ButtonEdge::Released); }
    uint32_t getKeyCount() override { return buttonCount_; }

private:
    bool buttonBytes(uint32_t button, uint8_t& current, uint8_t& previous) override;

    Platform::Input::MouseState mouse_[2] = {};
    uint32_t current_ = 0;
    uint32_t buttonCount_ = 0;
    int32_t cursorX_ = 0;
    int32_t cursorY_ = 0;
};

}  // namespace Orvex::InputSystem
