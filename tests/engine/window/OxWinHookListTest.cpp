#include "engine/window/OxWinHookList.h"

#include <gtest/gtest.h>

#include <vector>

namespace Orvex::Window {
namespace {

struct RecordingHook : IOrvexWinHook {
    RecordingHook(std::vector<int>& log, int id, OxLResult answer) : log(log), id(id), answer(answer) {}
    OxLResult hookProc(OxWindowHandle, uint32_t, OxWParam, OxLParam) override {
        log.push_back(id);
        return answer;
    }
    std::vector<int>& log;
    int id;
    OxLResult answer;
};

int previousCalls = 0;
OxLResult previousProcedure(OxWindowHandle, uint32_t, OxWParam, OxLParam) {
    ++previousCalls;
    return 77;
}

TEST(OxWinHookListTest, FirstNonZeroAnswerWinsElseThePreviousProcedure) {
    std::vector<int> log;
    RecordingHook silent(log, 1, 0);
    RecordingHook answering(log, 2, 5);
    RecordingHook unreached(log, 3, 9);
    OxWinHookList list;
    list.add(&silent);
    list.add(&answering);
    list.add(&unreached);
    previousCalls = 0;
    EXPECT_EQ(list.dispatch(1, 0x100, 0, 0, &previousProcedure), 5);
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    EXPECT_EQ(previousCalls, 0);

    list.remove(&answering);
    log.clear();
    EXPECT_EQ(list.dispatch(1, 0x100, 0, 0, &previousProcedure), 9);
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
    EXPECT_EQ(previousCalls, 0);
}

TEST(OxWinHookListTest, UnansweredMessagesFallBackByKind) {
    std::vector<int> log;
    RecordingHook silent(log, 1, 0);
    OxWinHookList list;
    list.add(&silent);
    list.add(&silent);
    previousCalls = 0;
    EXPECT_EQ(list.dispatch(1, 0x10, 0, 0, &previousProcedure), 77);
    EXPECT_EQ(previousCalls, 1);
    EXPECT_EQ(list.dispatch(1, 0x10, 0, 0, nullptr), 0);
    EXPECT_EQ(list.dispatchDialog(1, 0x10, 0, 0, &previousProcedure), 0);
    EXPECT_EQ(previousCalls, 1);  // dialogs never forward
    EXPECT_EQ(log.size(), 6u);

    list.remove(&silent);  // every occurrence goes
    EXPECT_EQ(list.size(), 0u);
}

}  // namespace
}  // namespace Orvex::Window
