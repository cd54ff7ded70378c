#pragma once
#include <cstdint>

namespace Orvex::InputSystem {

class OxGamePadDevice;

// Turns an axis direction of a pad into a button.
class IOrvexGamePadKeyBind {
public:
    virtual uint32_t getButton() = 0;
    virtual bool test(OxGamePadDevice& pad) = 0;
    virtual ~IOrvexGamePadKeyBind() = default;
};

}  // namespace Orvex::InputSystem
