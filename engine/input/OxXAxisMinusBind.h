#pragma once
#include <cstdint>

#include "engine/input/IOrvexGamePadKeyBind.h"
#include "engine/input/OxGamePadDevice.h"

namespace Orvex::InputSystem {

// Down while the pad's X axis is past the threshold on the negative side.
class OxXAxisMinusBind : public IOrvexGamePadKeyBind {
public:
    OxXAxisMinusBind(uint32_t button, float threshold) : button_(button), threshold_(threshold) {}
    uint32_t getButton() override { return button_; }
    bool test(OxGamePadDevice& pad) override {
        const float value = pad.getX();
        return value < threshold_ && value < 0.0f;
    }

private:
    uint32_t button_;
    float threshold_;
};

}  // namespace Orvex::InputSystem
