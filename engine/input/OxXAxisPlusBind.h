#pragma once
#include "engine/input/OxAxisBind.h"

namespace Orvex::InputSystem {

using OxXAxisPlusBind = OxAxisBind<OxPadAxis::X, OxAxisSide::Plus>;

}  // namespace Orvex::InputSystem
