#pragma once
// A stopwatch with a row of numbered counters, for diagnostics.
#include <cstdint>
#include <vector>

#include "engine/system/singleton.h"

namespace Orvex::DebugTool {

class OxDebugCounter {
public:
    static OxDebugCounter* instance() { return System::singleton<OxDebugCounter>::instance(); }
    static void release() { System::singleton<OxDebugCounter>::release(); }

    OxDebugCounter(const OxDebugCounter&) = delete;
    OxDebugCounter& operator=(const OxDebugCounter&) = delete;
    virtual ~OxDebugCounter() = default;

    // Restarts the stopwatch; returns the start time in milliseconds.
    uint32_t start();
    // Milliseconds since start (the clock wraps; the difference stays right across it).
    uint32_t getElapsed() const;

    // Makes the counters 0 .. count - 1; existing counters keep their values.
    void setCounterCount(uint32_t count);
    uint32_t getCounterCount() const { return static_cast<uint32_t>(counters_.size()); }

    // Counts one tick on the counter; true once every `limit` ticks (the counter then restarts
    // at 0). False, and nothing counted, for a counter that does not exist.
    bool tick(uint32_t index, uint32_t limit);
    // False for a counter that does not exist.
    bool isZero(uint32_t index) const;

private:
    OxDebugCounter() = default;
    friend class System::singleton<OxDebugCounter>;

    uint32_t startTime_ = 0;
    std::vector<uint32_t> counters_;
};

}  // namespace Orvex::DebugTool
