#include "engine/graphics/OxRenderQueue.h"

namespace Orvex::Graphics {

void OxRenderQueue::add(uint32_t priority, const Callback& callback) { entries_.push_back(Entry{priority, callback}); }

void OxRenderQueue::sort() {
    // std::list::sort is a stable merge sort.
    entries_.sort([](const Entry& a, const Entry& b) { return a.priority < b.priority; });
}

void OxRenderQueue::draw() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        it->callback();
    }
}

void OxRenderQueue::clear() { entries_.clear(); }

}  // namespace Orvex::Graphics
