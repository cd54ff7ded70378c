#pragma once
// Process-wide facts recorded by the engine root at start-up and read by the rest of the engine.
#include <atomic>
#include <string>

#include "platform/kernel/Process.h"

namespace Orvex::System {

struct OxEngineState {
    Platform::Kernel::ModuleHandle moduleHandle = nullptr;
    const char* rawCommandLine = nullptr;

    std::string commandLineA;    // the command line without its first and last characters
    std::string fileNameA;       // what follows the last separator
    std::string baseDirectoryA;  // the current directory at start-up
    std::u16string commandLineW;
    std::u16string fileNameW;
    std::u16string baseDirectoryW;
};

OxEngineState& engineState();

// True from the engine root's construction to the end of its destruction. Singletons take
// their creation locks only while it is true.
bool isEngineAlive();
void setEngineAlive(bool alive);

// The status the program ends with: 0 for a normal end, else the first failure recorded (a
// failed start, a shutdown that could not finish). A status of 0 is recorded as 1.
void recordExitFailure(int status = 1);
int exitStatus();
void resetExitStatus();  // for tests

}  // namespace Orvex::System
