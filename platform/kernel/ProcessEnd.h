#pragma once
// Ending the process from any thread, and the requests to end it that come from outside.
#include <cstdint>
#include <functional>

namespace Platform::Kernel {

// Flushes the C streams and ends the process at once with `status`: no exit handler and no
// static destructor runs, so threads still working cannot meet objects torn down under them.
[[noreturn]] void endProcessNow(int status);

// The status the program ends with: 0 for a normal end, else the first failure recorded (a
// failed start, a display that failed under it). A status of 0 is recorded as 1. Safe to call
// from any thread and from handlers that must not take locks.
void recordExitFailure(int status);
int recordedExitStatus();
void resetRecordedExitStatus();  // for tests

// Takes SIGTERM, SIGINT and SIGHUP away from every thread started after this call and hands
// them to one watcher thread, which calls `onRequest` (on that thread) for the first signal.
// When the process is still alive `graceMs` later, or when a second signal arrives, the
// watcher writes a line naming what it waited for and ends the process with status 1.
// Only the first call installs the watcher; later calls change nothing and return false.
bool watchTerminationSignals(std::function<void()> onRequest, uint32_t graceMs);

}  // namespace Platform::Kernel
