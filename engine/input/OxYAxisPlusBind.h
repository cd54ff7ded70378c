#pragma once
#include "engine/input/OxAxisBind.h"

namespace Orvex::InputSystem {

using OxYAxisPlusBind = OxAxisBind<OxPadAxis::Y, OxAxisSide::Plus>;

}  // namespace Orvex::InputSystem
