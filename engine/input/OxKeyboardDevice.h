#pragma once
#include "engine/input/IOrvexInputDevice.h"
#include "engine/input/IOrvexKeyBase.h"

namespace Orvex::InputSystem {

class OxKeyboardDevice : public IOrvexInputDevice, public IOrvexKeyBase {
public:
    uint32_t getKind() override { return kDeviceKeyboard; }
    uint32_t getIndex() override { return 0; }
    // The stored state: the input system parks (2) and revives (1) devices through it.
    virtual void setState(uint32_t state) = 0;
};

}  // namespace Orvex::InputSystem
