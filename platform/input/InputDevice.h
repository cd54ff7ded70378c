#pragma once
// A keyboard, mouse or game-pad device object. Reads copy the latest snapshot of the input hub;
// a device can be acquired only while its cooperative window has the focus, and a focus loss
// makes the next read report "input lost" until it is acquired again.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/input/InputHub.h"
#include "platform/input/InputTypes.h"
#include "platform/window/WindowTypes.h"

namespace Platform::Input {

enum class DeviceKind { Keyboard, Mouse, Pad };

class InputDevice {
public:
    InputDevice(DeviceKind kind, int32_t padIndex, PadInfo pad);
    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    int32_t setDataFormat(DataFormat format);
    // A window is required; flags must name exactly one of exclusive/non-exclusive and one of
    // foreground/background.
    int32_t setCooperativeLevel(Window::WindowHandle window, uint32_t flags);
    // Axis mode, auto-centre and range are accepted: SDL already reports relative mouse movement
    // and pad axes in -32768..32767.
    int32_t setProperty(Property property, int32_t value, uint32_t objectId = 0);
    int32_t getCapabilities(DeviceCaps& caps);
    // Calls `axis` with an object id per axis until it returns false.
    int32_t enumAxes(const std::function<bool(uint32_t objectId)>& axis);
    int32_t acquire();
    int32_t unacquire();
    int32_t poll();
    // `size` must be that of the data format's record.
    int32_t getDeviceState(uint32_t size, void* data);

    DeviceKind kind() const { return kind_; }

private:
    uint32_t recordSize() const;

    const DeviceKind kind_;
    const int32_t padIndex_;
    const PadInfo pad_;
    std::mutex lock_;
    DataFormat format_ = DataFormat::None;
    Window::WindowHandle window_ = 0;
    uint32_t cooperativeFlags_ = 0;
    bool acquired_ = false;
    uint32_t focusLossesAtAcquire_ = 0;
};

}  // namespace Platform::Input
