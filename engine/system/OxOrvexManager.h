#pragma once
// The engine's root object. The program constructs exactly one on the stack before anything
// else of the engine and destroys it last; its destruction waits for every other engine thread.
#include <string>

namespace Orvex {

class OxOrvexManager {
public:
    OxOrvexManager();
    OxOrvexManager(const OxOrvexManager&) = delete;
    OxOrvexManager& operator=(const OxOrvexManager&) = delete;
    virtual ~OxOrvexManager();

    static const std::u16string& getBaseDirectory();
};

namespace System {
// Splits a command line the way the root does: the first and last characters go, and the file
// name is what follows the last separator at index 1 or later. Exposed for tests.
struct OxCommandLineParts {
    std::string commandLine;
    std::string fileName;
};
OxCommandLineParts splitNarrowCommandLine(const std::string& raw);
struct OxWideCommandLineParts {
    std::u16string commandLine;
    std::u16string fileName;
};
OxWideCommandLineParts splitWideCommandLine(const std::u16string& raw);
}  // namespace System

}  // namespace Orvex
