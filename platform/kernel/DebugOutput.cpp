#include "platform/kernel/DebugOutput.h"

#include <cstdlib>
#include <mutex>
#include <string>

#include <unistd.h>

#include "platform/kernel/CodePage.h"
#include "platform/kernel/NeverDestroyed.h"

namespace Platform::Kernel {

bool isSwitchSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

namespace {

std::mutex& sinkLock() {
    static NeverDestroyed<std::mutex> lock;
    return lock.get();
}

DebugSink& sink() {
    static DebugSink current;
    return current;
}

bool stderrEnabled() {
    static const bool kEnabled = isSwitchSet("ORVEX_DEBUG_OUTPUT");
    return kEnabled;
}

void toSink(std::u16string_view text) {
    std::lock_guard guard(sinkLock());
    if (sink()) {
        sink()(text);
    }
}

void writeStderrLine(std::u16string_view text) {
    std::string line;
    if (!wideToMultiByte(text, line)) {
        line = "(debug text not convertible)";
    }
    if (line.empty() || line.back() != '\n') {
        line.push_back('\n');
    }
    (void)::write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace

void debugOutput(std::u16string_view text) {
    toSink(text);
    if (stderrEnabled()) {
        writeStderrLine(text);
    }
}

void errorOutput(std::u16string_view text) {
    toSink(text);
    writeStderrLine(text);
}

void setDebugSink(DebugSink newSink) {
    std::lock_guard guard(sinkLock());
    sink() = std::move(newSink);
}

}  // namespace Platform::Kernel
