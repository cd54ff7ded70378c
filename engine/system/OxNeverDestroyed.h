#pragma once
// The engine's name for storage that is built on first use and never destroyed (see
// NeverDestroyed): for process-wide locks and tables that threads may use while the process ends.
#include "platform/kernel/NeverDestroyed.h"

namespace Orvex::System {

template <typename T>
using OxNeverDestroyed = Platform::Kernel::NeverDestroyed<T>;

}  // namespace Orvex::System
