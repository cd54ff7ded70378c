#pragma once
// Collects what the engine writes to the debug output while it is in scope.
#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/DebugOutput.h"

class DebugCapture {
public:
    DebugCapture() {
        Platform::Kernel::setDebugSink([this](std::u16string_view line) {
            std::lock_guard guard(lock_);
            lines_.emplace_back(line);
        });
    }
    ~DebugCapture() { Platform::Kernel::setDebugSink(nullptr); }

    std::vector<std::u16string> lines() {
        std::lock_guard guard(lock_);
        return lines_;
    }
    bool contains(std::u16string_view text) {
        for (const auto& line : lines()) {
            if (line.find(text) != std::u16string::npos) return true;
        }
        return false;
    }

private:
    std::mutex lock_;
    std::vector<std::u16string> lines_;
};
