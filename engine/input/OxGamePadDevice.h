#pragma once
#include <cstdint>
#include <memory>

#include "engine/input/IOrvexGamePadKeyBind.h"
#include "engine/input/IOrvexInputDevice.h"
#include "engine/input/IOrvexKeyBase.h"

namespace Orvex::InputSystem {

class OxGamePadDevice : public IOrvexInputDevice, public IOrvexKeyBase {
public:
    uint32_t getKind() override { return kDeviceGamePad; }
    virtual bool isNull() = 0;
    virtual uint32_t getAxisCount() = 0;
    virtual float getX() = 0;
    virtual float getY() = 0;
    virtual float getZ() = 0;
    virtual float getRotX() = 0;
    virtual float getRotY() = 0;
    virtual float getRotZ() = 0;
    virtual void clearKeyBinds() = 0;
    virtual void addKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>& bind) = 0;
    virtual void removeKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>& bind) = 0;
    virtual void setState(uint32_t state) = 0;

    // A raw axis value of -32768..32767 as -1..1, with a dead zone of ±8192 around the centre.
    static float axisValue(int32_t raw);
};

}  // namespace Orvex::InputSystem
