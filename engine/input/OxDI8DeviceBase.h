#pragma once
// What the system keyboard, mouse and game pads share: the platform device opened for the main
// window, the window hook that follows the focus, the stored state and the lock taken by both the
// window thread (hook) and the game thread (update and queries).
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/input/IOrvexInputDevice.h"
#include "engine/window/IOrvexWinHook.h"
#include "platform/input/InputDevice.h"
#include "platform/input/InputInterface.h"

namespace Orvex::Window {
class OxWindowBase;
}

namespace Orvex::InputSystem {

class OxDI8DeviceBase : public Window::IOrvexWinHook {
public:
    // Focus loss unacquires and clears every button; focus or a restore re-acquires.
    Window::OxLResult hookProc(Window::OxWindowHandle window, uint32_t message, Window::OxWParam wParam,
                               Window::OxLParam lParam) override;

    // Implemented by each device; the same names as its button and device interfaces.
    virtual void clearAllKeys() = 0;
    virtual void release() = 0;

protected:
    enum class ButtonEdge { Down, Pushed, Released };

    // A button's bytes in this and the last update; false for a button outside the device's range.
    virtual bool buttonBytes(uint32_t button, uint8_t& current, uint8_t& previous) = 0;
    // Down: held now. Pushed: held now, nothing last update. Released: up now, held last update.
    bool testButton(uint32_t button, ButtonEdge edge);

    // Opens the device `guid` for the main window and hooks the window. Without a main window or
    // an input interface it releases the device first; nullptr on any failure.
    std::shared_ptr<Platform::Input::InputDevice> openForMainWindow(
        const std::shared_ptr<Platform::Input::InputInterface>& input, const Platform::Input::DeviceGuid& guid,
        Window::OxWindowBase*& mainWindow);
    // Data format, foreground non-exclusive cooperation with `window` and the axis mode.
    static bool configure(Platform::Input::InputDevice& device, Window::OxWindowHandle window,
                          Platform::Input::DataFormat format, int32_t axisMode);
    void hookMainWindow(Window::OxWindowBase& mainWindow);
    void unhookMainWindow();
    // Acquires the opened device and marks it acquired.
    void acquireDevice(Platform::Input::InputDevice& device);
    // Unacquires and drops the device. Call with lock_ held.
    void releaseDevice();
    // Reads the device's state record, re-acquiring once when the input was lost.
    int32_t readDeviceState(uint32_t size, void* buffer);
    // The stored state, or "not ready" while the device is not acquired.
    uint32_t stateWhenAcquired() const;

    std::shared_ptr<Platform::Input::InputDevice> device_;
    std::atomic<uint32_t> state_{kStateReleased};
    std::atomic<bool> acquired_{false};
    std::recursive_mutex lock_;

private:
    bool hooked_ = false;
};

}  // namespace Orvex::InputSystem
