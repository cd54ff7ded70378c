#pragma once
#include "engine/input/OxAxisBind.h"

namespace Orvex::InputSystem {

using OxXAxisMinusBind = OxAxisBind<OxPadAxis::X, OxAxisSide::Minus>;

}  // namespace Orvex::InputSystem
