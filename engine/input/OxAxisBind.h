#pragma once
#include <cstdint>

#include "engine/input/IOrvexGamePadKeyBind.h"
#include "engine/input/OxGamePadDevice.h"

namespace Orvex::InputSystem {

enum class OxPadAxis { X, Y };
enum class OxAxisSide { Minus, Plus };

// Down while the pad's axis is past the threshold on the given side of the centre.
template <OxPadAxis Axis, OxAxisSide Side>
class OxAxisBind : public IOrvexGamePadKeyBind {
public:
    OxAxisBind(uint32_t button, float threshold) : button_(button), threshold_(threshold) {}
    uint32_t getButton() override { return button_; }
    bool test(OxGamePadDevice& pad) override {
        const float value = Axis == OxPadAxis::X ? pad.getX() : pad.getY();
        if constexpr (Side == OxAxisSide::Minus) {
            return value < threshold_ && value < 0.0f;
        } else {
            return value > threshold_ && value > 0.0f;
        }
    }

private:
    uint32_t button_;
    float threshold_;
};

}  // namespace Orvex::InputSystem
