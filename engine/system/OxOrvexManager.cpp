#include "engine/system/OxOrvexManager.h"

#include "engine/system/OxEngineState.h"
#include "engine/thread/OxThreadManager.h"
#include "platform/kernel/CodePage.h"
#include "platform/kernel/Process.h"
#include "platform/kernel/ProcessEnd.h"

namespace Orvex {
namespace System {
namespace {

template <typename Char>
bool isSeparator(Char c) {
    return c == Char('\\') || c == Char('/');
}

// The program is started as a quoted path: the first and last characters go. The file name is
// what follows the last separator found scanning down to index 1 (index 0 when there is none).
template <typename String, typename InsideCharacter>
std::pair<String, String> splitCommandLine(const String& raw, InsideCharacter insideDoubleByteCharacter) {
    const String line = raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : String();
    size_t split = 0;
    for (size_t i = line.empty() ? 0 : line.size() - 1; i >= 1; --i) {
        if (isSeparator(line[i]) && !insideDoubleByteCharacter(line, i)) {
            split = i;
            break;
        }
    }
    return {line, split + 1 <= line.size() ? line.substr(split + 1) : String()};
}

}  // namespace

OxCommandLineParts splitNarrowCommandLine(const std::string& raw) {
    auto [line, fileName] = splitCommandLine(raw, [](const std::string& text, size_t i) {
        return Platform::Kernel::isLeadByte(static_cast<unsigned char>(text[i - 1]));
    });
    return {std::move(line), std::move(fileName)};
}

OxWideCommandLineParts splitWideCommandLine(const std::u16string& raw) {
    auto [line, fileName] = splitCommandLine(raw, [](const std::u16string&, size_t) { return false; });
    return {std::move(line), std::move(fileName)};
}

}  // namespace System

OxOrvexManager::OxOrvexManager() {
    auto& state = System::engineState();
    state.moduleHandle = Platform::Kernel::moduleHandle();
    state.rawCommandLine = Platform::Kernel::commandLineNarrow().c_str();
    System::setEngineAlive(true);

    const auto narrowParts = System::splitNarrowCommandLine(Platform::Kernel::commandLineNarrow());
    state.commandLineA = narrowParts.commandLine;
    state.fileNameA = narrowParts.fileName;
    state.baseDirectoryA = Platform::Kernel::currentDirectoryNarrow();

    const auto wideParts = System::splitWideCommandLine(Platform::Kernel::commandLineWide());
    state.commandLineW = wideParts.commandLine;
    state.fileNameW = wideParts.fileName;
    state.baseDirectoryW = Platform::Kernel::currentDirectoryWide();
}

OxOrvexManager::~OxOrvexManager() {
    Thread::OxThreadManager* threads = Thread::OxThreadManager::instance();
    if (!threads->waitForOtherThreads()) {
        // Threads that do not end can be neither joined nor torn down under: the process ends
        // here, with the line the wait wrote and a failure status.
        Platform::Kernel::endProcessNow(1);
    }
    threads->endMainThread();
    System::setEngineAlive(false);
}

const std::u16string& OxOrvexManager::getBaseDirectory() { return System::engineState().baseDirectoryW; }

}  // namespace Orvex
