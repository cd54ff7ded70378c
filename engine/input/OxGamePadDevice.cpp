#include "engine/input/OxGamePadDevice.h"

namespace Orvex::InputSystem {

float OxGamePadDevice::axisValue(int32_t raw) {
    constexpr int32_t kDeadZone = 8192;
    if (raw > kDeadZone) {
        return static_cast<float>((raw - kDeadZone) / 24575.0);
    }
    if (raw < -kDeadZone) {
        return static_cast<float>((raw + kDeadZone) / 24576.0);
    }
    return 0.0f;
}

}  // namespace Orvex::InputSystem
