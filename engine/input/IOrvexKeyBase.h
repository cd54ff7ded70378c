#pragma once
// The button side of anything that has buttons: input devices and the virtual-key table.
// A button outside the owner's range reads as up (not down, pushed, released) and clearing it
// does nothing: key numbers arrive unchecked from settings files and scripts.
#include <cstdint>

namespace Orvex::InputSystem {

class IOrvexKeyBase {
public:
    virtual void clearAllKeys() = 0;
    virtual void clearKey(uint32_t button) = 0;
    virtual bool isDown(uint32_t button) = 0;
    virtual bool isPushed(uint32_t button) = 0;
    virtual bool isReleased(uint32_t button) = 0;
    virtual uint32_t getKeyCount() = 0;
    virtual ~IOrvexKeyBase() = default;
};

}  // namespace Orvex::InputSystem
