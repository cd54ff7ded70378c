#pragma once
// Deferred two-dimensional drawing: callers hand in a priority and a callback, the frame sorts
// the queue once and runs it. A larger priority is drawn earlier (further back); among equal
// priorities the entry added last is drawn first.
#include <cstdint>
#include <functional>
#include <list>

namespace Orvex::Graphics {

class OxRenderQueue {
public:
    using Callback = std::function<void()>;

    OxRenderQueue() = default;
    OxRenderQueue(const OxRenderQueue&) = delete;
    OxRenderQueue& operator=(const OxRenderQueue&) = delete;
    virtual ~OxRenderQueue() = default;

    void add(uint32_t priority, const Callback& callback);
    // Stable, ascending by priority as unsigned numbers.
    void sort();
    // Runs the callbacks from the last entry to the first; entries stay queued. An empty
    // callback throws std::bad_function_call.
    void draw();
    void clear();

    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        uint32_t priority;
        Callback callback;
    };
    std::list<Entry> entries_;
};

// Priorities of the named draw layers, from the furthest back to the front.
namespace RenderPriority {
inline constexpr uint32_t kUndermost = 10000000;
inline constexpr uint32_t kBackGround = 9750000;
inline constexpr uint32_t kMapGround = 9500000;
inline constexpr uint32_t kMapBackChip = 9250000;
inline constexpr uint32_t kMapBackChip2 = 9000000;
inline constexpr uint32_t kFloor = 8900000;
inline constexpr uint32_t kItem = 8750000;
inline constexpr uint32_t kBackActor = 8600000;
inline constexpr uint32_t kActor = 8500000;
inline constexpr uint32_t kFrontActor = 8400000;
inline constexpr uint32_t kTopActor = 8300000;
inline constexpr uint32_t kEffect = 8250000;
inline constexpr uint32_t kMapFrontChip = 8000000;
inline constexpr uint32_t kFrontEffect = 7750000;
inline constexpr uint32_t kMapAddChip = 7650000;
inline constexpr uint32_t kPostEffect = 7625000;
inline constexpr uint32_t kLogWindow = 7600000;
inline constexpr uint32_t kUnderMiniMap = 7525000;
inline constexpr uint32_t kMiniMap = 7500000;
inline constexpr uint32_t kOverMiniMap = 7250000;
inline constexpr uint32_t kHUD = 7000000;
inline constexpr uint32_t kADV = 6500000;
inline constexpr uint32_t kGameMenu = 6000000;
inline constexpr uint32_t kScreenEffect = 5500000;
inline constexpr uint32_t kTopmost = 2000000;
inline constexpr uint32_t kDebug = 1000000;
}  // namespace RenderPriority

}  // namespace Orvex::Graphics
