#pragma once
#include <cstdint>

#include "engine/input/IOrvexInputDevice.h"
#include "engine/input/IOrvexKeyBase.h"

namespace Orvex::InputSystem {

class OxMouseDevice : public IOrvexInputDevice, public IOrvexKeyBase {
public:
    uint32_t getKind() override { return kDeviceMouse; }
    uint32_t getIndex() override { return 0; }
    virtual int32_t getX() = 0;
    virtual int32_t getY() = 0;
    virtual int32_t getWheel() = 0;
    virtual void getMovement(int32_t& x, int32_t& y, int32_t& wheel) = 0;
    virtual void getMovementXY(int32_t& x, int32_t& y) = 0;
    virtual int32_t getCursorX() = 0;
    virtual int32_t getCursorY() = 0;
    virtual void getCursorPos(int32_t& x, int32_t& y) = 0;
    virtual void setCursorPos(int32_t x, int32_t y) = 0;
    virtual void release() = 0;
    virtual bool isReady() = 0;
    virtual void setState(uint32_t state) = 0;
};

}  // namespace Orvex::InputSystem
