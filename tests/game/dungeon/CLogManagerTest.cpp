#include "game/dungeon/CLogManager.h"

#include <gtest/gtest.h>

#include "engine/graphics/OxRenderQueue.h"

namespace {

using Fenwarrow::Dungeon::CLogEventListener;
using Fenwarrow::Dungeon::CLogManager;

std::deque<std::u16string> lines(std::initializer_list<const char16_t*> texts) {
    std::deque<std::u16string> out;
    for (const char16_t* text : texts) {
        out.emplace_back(text);
    }
    return out;
}

TEST(CLogManager, OneLineStaysForItsDisplayTimeThenGoes) {
    CLogManager log;
    log.addLogMessage(u"薬草を拾った。");
    EXPECT_TRUE(log.isShown());
    log.update(3.0f);
    EXPECT_TRUE(log.isShown());
    EXPECT_EQ(log.getLines().size(), 1u);
    log.update(0.2f);
    EXPECT_FALSE(log.isShown());
    EXPECT_TRUE(log.getLines().empty());
    EXPECT_EQ(log.getHistory(), std::vector<std::u16string>{u"薬草を拾った。"});
}

TEST(CLogManager, SurplusLinesScrollAwayOneEveryHalfSecond) {
    // Three lines in one frame: the next update drops the first at once.
    CLogManager three;
    for (const char16_t* text : {u"a", u"b", u"c"}) {
        three.addLogMessage(text);
    }
    three.update(0.01f);
    EXPECT_EQ(three.getLines(), lines({u"b", u"c"}));
    three.update(3.0f);
    EXPECT_EQ(three.getLines(), lines({u"b", u"c"}));  // two lines never scroll
    three.update(0.2f);
    EXPECT_FALSE(three.isShown());

    // Five lines: after the first drop, one more every 0.5 s until two remain.
    CLogManager five;
    for (const char16_t* text : {u"1", u"2", u"3", u"4", u"5"}) {
        five.addLogMessage(text);
    }
    five.update(0.1f);
    EXPECT_EQ(five.getLines().size(), 4u);
    five.update(0.3f);
    EXPECT_EQ(five.getLines().size(), 4u);
    five.update(0.25f);
    EXPECT_EQ(five.getLines().size(), 3u);
    five.update(0.5f);
    EXPECT_EQ(five.getLines(), lines({u"4", u"5"}));
    five.update(2.5f);
    EXPECT_TRUE(five.isShown());  // each drop restarted the display time (then 3.1 - 0.5 left)
    five.update(0.2f);
    EXPECT_FALSE(five.isShown());
    EXPECT_EQ(five.getHistory().size(), 5u);
}

TEST(CLogManager, ClearKeepsTheHistoryAndResetEmptiesIt) {
    CLogManager log;
    log.addLogMessage(u"x");
    log.addLogMessage(u"y");
    log.clear();
    EXPECT_FALSE(log.isShown());
    EXPECT_TRUE(log.getLines().empty());
    EXPECT_EQ(log.getHistory().size(), 2u);
    log.reset();
    EXPECT_TRUE(log.getHistory().empty());
}

TEST(CLogManager, ListenersHearEveryLineOncePerEntry) {
    struct Counter : CLogEventListener {
        void onLog() override { ++count; }
        int count = 0;
    };
    Counter listener;
    Counter other;
    CLogManager log;
    log.addListener(&listener);
    log.addListener(nullptr);
    log.addListener(&other);
    log.addListener(&listener);
    log.addLogMessage(u"one");
    EXPECT_EQ(listener.count, 2);
    EXPECT_EQ(other.count, 1);
    log.removeListener(&listener);
    log.removeListener(&other);
    log.addLogMessage(u"two");
    EXPECT_EQ(listener.count, 3);
    EXPECT_EQ(other.count, 1);
}

TEST(CLogManager, WithoutAWindowNothingIsQueued) {
    CLogManager log;
    EXPECT_FALSE(log.createWindow(nullptr));
    EXPECT_EQ(log.getWindow(), nullptr);
    log.addLogMessage(u"line");
    Orvex::Graphics::OxRenderQueue queue;
    log.draw(queue);
    EXPECT_EQ(queue.size(), 0u);
}

}  // namespace
