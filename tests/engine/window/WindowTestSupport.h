#pragma once
// A window thread under test: counts what the base calls and signals once the loop is about to run.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "engine/window/OxWindowBase.h"
#include "platform/kernel/Waitable.h"

namespace Orvex::Window::Testing {

inline constexpr uint32_t kWaitLimitMs = 10000;

class TestWindow : public OxWindowBase {
public:
    explicit TestWindow(std::u16string className = u"Orvex_App", bool blocking = false) {
        getCreateParams().className = std::move(className);
        setBlockingLoop(blocking);
    }
    ~TestWindow() override { stop(); }

    bool onCreate() override {
        created.set();
        return true;
    }
    void terminate() override { ++terminateCount; }

    // Waits until the thread has ended (its handle is signalled), bounded.
    bool waitForEnd(uint32_t ms = kWaitLimitMs) {
        const Thread::OxThreadHandle thread = getThreadData();
        return !thread || Platform::Kernel::waitForOne(*thread, ms) == Platform::Kernel::kWaitObject0;
    }

    Platform::Kernel::KernelEvent created{/*manualReset=*/true};
    std::atomic<int> terminateCount{0};
};

// Polls `condition` until it holds or the limit passes.
inline bool eventually(const std::function<bool()>& condition, uint32_t ms = kWaitLimitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace Orvex::Window::Testing
