#pragma once
// The system keyboard. Buttons are the 144 key numbers of the key table.
#include <atomic>
#include <memory>
#include <mutex>

#include "engine/input/OxKeyboardDevice.h"
#include "engine/window/IOrvexWinHook.h"
#include "platform/input/InputDevice.h"
#include "platform/input/InputInterface.h"

namespace Orvex::InputSystem {

class OxDI8KeyboardDevice : public OxKeyboardDevice, public Window::IOrvexWinHook {
public:
    OxDI8KeyboardDevice() = default;
    ~OxDI8KeyboardDevice() override;

    // Needs the main window; fails (and starts afresh next time) at the first failing step.
    bool initialize(const std::shared_ptr<Platform::Input::InputInterface>& input);
    void release();
    bool isReady() const { return ready_.load(); }

    uint32_t getState() override;
    void setState(uint32_t state) override { state_ = state; }
    void update() override;

    void clearAllKeys() override;
    void clearKey(uint32_t key) override;
    bool isDown(uint32_t key) override;
    bool isPushed(uint32_t key) override;
    bool isReleased(uint32_t key) override;
    uint32_t getKeyCount() override;

    // Focus loss unacquires and clears every key; focus or a restore re-acquires.
    Window::OxLResult hookProc(Window::OxWindowHandle window, uint32_t message, Window::OxWParam wParam,
                               Window::OxLParam lParam) override;

private:
    // The key's bytes in this and the last update; false for a number outside the table.
    bool keyBytes(uint32_t key, uint8_t& current, uint8_t& previous);

    std::shared_ptr<Platform::Input::InputDevice> device_;
    std::atomic<uint32_t> state_{kStateReleased};
    uint8_t keys_[2][256] = {};
    uint32_t current_ = 0;
    std::atomic<bool> ready_{false};
    bool hooked_ = false;
    // The window thread's hook and the game thread's update both touch the buffers.
    std::recursive_mutex lock_;
};

}  // namespace Orvex::InputSystem
