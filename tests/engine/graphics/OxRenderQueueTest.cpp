#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/graphics/OxRenderQueue.h"

namespace Orvex::Graphics {
namespace {

TEST(OxRenderQueueTest, DrawsHighPrioritiesFirstAndEqualOnesInReverseOrderOfAdding) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint32_t, std::string>> added;
        std::string expected;
    } cases[] = {
        {"equal priorities", {{5, "A"}, {5, "B"}}, "BA"},
        {"undermost before debug", {{RenderPriority::kDebug, "D"}, {RenderPriority::kUndermost, "U"}}, "UD"},
        {"three levels", {{5500000, "e"}, {10000000, "u"}, {7600000, "l"}}, "ule"},
        {"screen effect added before a scene entry of the same priority",
         {{RenderPriority::kScreenEffect, "fade"}, {RenderPriority::kScreenEffect, "loading"}},
         "loadingfade"},
        {"unsigned comparison", {{1, "small"}, {0x80000000u, "big"}, {0x7FFFFFFFu, "mid"}}, "bigmidsmall"},
        {"empty", {}, ""},
    };
    for (const Case& c : cases) {
        OxRenderQueue queue;
        std::string drawn;
        for (const auto& [priority, label] : c.added) {
            queue.add(priority, [&drawn, label = label] { drawn += label; });
        }
        queue.sort();
        queue.draw();
        EXPECT_EQ(c.expected, drawn) << c.name;
        // Entries stay queued until clear.
        drawn.clear();
        queue.draw();
        EXPECT_EQ(c.expected, drawn) << c.name;
        queue.clear();
        drawn.clear();
        queue.draw();
        EXPECT_EQ("", drawn) << c.name;
    }
}

TEST(OxRenderQueueTest, UnsortedQueueRunsBackwardsAndEmptyCallbackThrows) {
    OxRenderQueue queue;
    std::string drawn;
    queue.add(1, [&] { drawn += "1"; });
    queue.add(9, [&] { drawn += "9"; });
    queue.draw();
    EXPECT_EQ("91", drawn);
    queue.add(3, OxRenderQueue::Callback());
    EXPECT_THROW(queue.draw(), std::bad_function_call);
}

}  // namespace
}  // namespace Orvex::Graphics
