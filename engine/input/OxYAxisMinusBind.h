#pragma once
#include "engine/input/OxAxisBind.h"

namespace Orvex::InputSystem {

using OxYAxisMinusBind = OxAxisBind<OxPadAxis::Y, OxAxisSide::Minus>;

}  // namespace Orvex::InputSystem
