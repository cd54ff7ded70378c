#pragma once
// Termination signals for the program's entry: SIGTERM, SIGINT and SIGHUP end the program the way
// closing its main window does. Every engine thread is asked to stop, so the main window's loop
// ends and shuts the game down in order; when that has not finished `graceMs` later (or a second
// signal comes), the process ends at once with status 1 and a line saying so.
//
// Inline on purpose: the request must reach the program's own thread manager, and the shared
// graphics library carries a copy of the engine of its own.
#include <cstdint>

#include "engine/thread/OxThreadManager.h"
#include "platform/kernel/ProcessEnd.h"

namespace Orvex::Thread {

inline constexpr uint32_t kTerminationGraceMs = 10000;

// Call first thing in the program's entry, before any thread starts: the signals are taken away
// from every thread started later and handed to one watcher.
inline void endOnTerminationSignals(uint32_t graceMs = kTerminationGraceMs) {
    Platform::Kernel::watchTerminationSignals([] { OxThreadManager::instance()->requestStopAll(); }, graceMs);
}

}  // namespace Orvex::Thread
