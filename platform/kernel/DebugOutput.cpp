#include "platform/kernel/DebugOutput.h"

#include <cstdlib>
#include <mutex>
#include <string>

#include <unistd.h>

#include "platform/kernel/CodePage.h"

namespace Platform::Kernel {
namespace {

std::mutex& sinkLock() {
    static std::mutex lock;
    return lock;
}

DebugSink& sink() {
    static DebugSink current;
    return current;
}

bool stderrEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("ORVEX_DEBUG_OUTPUT");
        return value != nullptr && *value != '\0' && std::string_view(value) != "0";
    }();
    return enabled;
}

}  // namespace

void debugOutput(std::u16string_view text) {
    {
        std::lock_guard guard(sinkLock());
        if (sink()) {
            sink()(text);
        }
    }
    if (!stderrEnabled()) {
        return;
    }
    std::string line;
    if (!wideToMultiByte(text, line)) {
        line = "(debug text not convertible)";
    }
    if (line.empty() || line.back() != '\n') {
        line.push_back('\n');
    }
    (void)::write(STDERR_FILENO, line.data(), line.size());
}

void setDebugSink(DebugSink newSink) {
    std::lock_guard guard(sinkLock());
    sink() = std::move(newSink);
}

}  // namespace Platform::Kernel
