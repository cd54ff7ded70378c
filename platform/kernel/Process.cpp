#include "platform/kernel/Process.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <signal.h>
#include <unistd.h>

#include "platform/kernel/CodePage.h"

namespace Platform::Kernel {
namespace {

std::string toEngineSeparators(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string buildCommandLine() {
    char exe[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string line =
        "\"" + toEngineSeparators(length > 0 ? std::string(exe, static_cast<size_t>(length)) : std::string()) + "\"";

    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    // The first NUL-separated field is argv[0]; the path above replaces it.
    size_t pos = raw.find('\0');
    while (pos != std::string::npos && pos + 1 < raw.size()) {
        const size_t next = raw.find('\0', pos + 1);
        line += ' ';
        line += raw.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
        pos = next;
    }
    return line;
}

}  // namespace

ModuleHandle moduleHandle() {
    static const int token = 0;
    return &token;
}

const std::string& commandLineNarrow() {
    static const std::string line = buildCommandLine();
    return line;
}

const std::u16string& commandLineWide() {
    static const std::u16string line = [] {
        std::u16string wide;
        multiByteToWide(commandLineNarrow(), wide);
        return wide;
    }();
    return line;
}

std::string currentDirectoryNarrow() {
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) {
        return {};
    }
    std::string path = toEngineSeparators(cwd);
    std::free(cwd);
    return path;
}

std::u16string currentDirectoryWide() {
    std::u16string wide;
    multiByteToWide(currentDirectoryNarrow(), wide);
    return wide;
}

int processId() { return static_cast<int>(::getpid()); }

bool signalThisProcess(int signal) { return ::kill(::getpid(), signal) == 0; }

}  // namespace Platform::Kernel
