#pragma once
// Facts about the running process, in the shapes the engine's start-up reads them.
#include <string>

namespace Platform::Kernel {

using ModuleHandle = const void*;

// Opaque, non-null token for the program's own module.
ModuleHandle moduleHandle();

// The command line as a quoted executable path followed by the arguments.
const std::string& commandLineNarrow();
const std::u16string& commandLineWide();

// The current directory with backslash separators and no trailing separator, as the engine
// spells paths; empty when it cannot be read.
std::string currentDirectoryNarrow();
std::u16string currentDirectoryWide();

// The number the system knows this process by.
int processId();
// Sends `signal` to this process as a whole, as one sent from outside arrives: any thread that
// does not block it may take it. False when it cannot be sent.
bool signalThisProcess(int signal);

}  // namespace Platform::Kernel
