#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/event/CDebugPrintCommand.h"
#include "game/event/CDeletePageCommand.h"
#include "game/event/CEvent.h"
#include "game/event/CEventLayer.h"
#include "game/event/CEventPage.h"
#include "game/event/CFadeScreenCommand.h"
#include "game/event/EventCommandFactory.h"

namespace {

using namespace Fenwarrow::Event;
using namespace Fenwarrow::Event::Command;
using Status = CCommandBase::CommandStatus;

// Records its life cycle in a shared journal; it waits `waitFrames` executes before it is done.
class JournalCommand : public CCommandBase {
public:
    JournalCommand(std::vector<std::string>& journal, std::string name, int waitFrames = 0)
        : journal_(journal), name_(std::move(name)), waitFrames_(waitFrames) {}
    void begin() override {
        journal_.push_back(name_ + ".begin");
        left_ = waitFrames_;
    }
    void execute(CEventPage&) override {
        journal_.push_back(name_ + ".execute");
        if (left_-- <= 0) {
            setStatus(Status::kDone);
        }
    }
    void end() override { journal_.push_back(name_ + ".end"); }

private:
    std::vector<std::string>& journal_;
    std::string name_;
    int waitFrames_;
    int left_ = 0;
};

std::shared_ptr<CEvent> eventWith(std::vector<std::vector<std::shared_ptr<CCommandBase>>> pages) {
    auto event = std::make_shared<CEvent>();
    for (auto& commands : pages) {
        auto page = std::make_shared<CEventPage>();
        for (auto& command : commands) {
            page->addCommand(command);
        }
        event->addPage(page);
    }
    return event;
}

TEST(CEventLayerTest, PageThatDeletesItselfRunsWholeInOneFrameAndItsEventGoesAtTheNextUpdate) {
    auto first = std::make_shared<CDebugPrintCommand>();
    auto second = std::make_shared<CDebugPrintCommand>();
    auto event = eventWith({{first, second, std::make_shared<CDeletePageCommand>()}});
    CEventLayer layer;
    EXPECT_TRUE(layer.setup());
    EXPECT_TRUE(layer.isAlive());
    layer.addEvent(event);

    layer.update();
    EXPECT_TRUE(event->getPages().empty());
    EXPECT_EQ(first->getStatus(), Status::kIdle);  // begun, executed, ended
    EXPECT_EQ(layer.getEvents().size(), 1u);       // pages gone in this pass: still held
    layer.update();
    EXPECT_TRUE(layer.getEvents().empty());
}

TEST(CEventLayerTest, PageWaitsOnARunningCommandAndStartsOverAfterItsLast) {
    std::vector<std::string> journal;
    auto event = eventWith(
        {{std::make_shared<JournalCommand>(journal, "a"), std::make_shared<JournalCommand>(journal, "b", 1)}});
    CEventPage& page = *event->getPages()[0];

    EXPECT_TRUE(event->update());
    EXPECT_EQ(journal, (std::vector<std::string>{"a.begin", "a.execute", "a.end", "b.begin", "b.execute"}));
    EXPECT_EQ(page.getCurrentIndex(), 1u);
    journal.clear();
    EXPECT_TRUE(event->update());  // b finishes; the loop passes the end
    EXPECT_EQ(journal, (std::vector<std::string>{"b.execute", "b.end"}));
    EXPECT_EQ(page.getCurrentIndex(), 0u);
    journal.clear();
    EXPECT_TRUE(event->update());  // without a DeletePage the page repeats
    EXPECT_EQ(journal.front(), "a.begin");
    EXPECT_EQ(event->getPages().size(), 1u);

    // An index beyond the list rewinds and runs nothing in that frame.
    journal.clear();
    page.setCurrentIndex(7);
    EXPECT_TRUE(event->update());
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(page.getCurrentIndex(), 0u);
}

TEST(CEventLayerTest, PagesRunSideBySideAndADeletedPageIsDroppedEvenWithAWaitingCommandAfterIt) {
    std::vector<std::string> journal;
    auto event = eventWith({{std::make_shared<CDeletePageCommand>(), std::make_shared<JournalCommand>(journal, "w", 5)},
                            {std::make_shared<JournalCommand>(journal, "p")}});
    EXPECT_TRUE(event->update());
    // The command after DeletePage still ran, but never ends: it goes with its page.
    EXPECT_EQ(journal, (std::vector<std::string>{"w.begin", "w.execute", "p.begin", "p.execute", "p.end"}));
    ASSERT_EQ(event->getPages().size(), 1u);
}

TEST(CEventLayerTest, EmptyPagesStayEmptyEventsGoAndRemovalDoesNotSkipTheNextEvent) {
    CEventLayer layer;
    auto idle = eventWith({{}});  // a page with no commands: never removed
    auto noPages = std::make_shared<CEvent>();
    std::vector<std::string> journal;
    auto after = eventWith({{std::make_shared<JournalCommand>(journal, "after")}});
    layer.addEvent(idle);
    layer.addEvent(noPages);
    layer.addEvent(after);

    layer.update();
    ASSERT_EQ(layer.getEvents().size(), 2u);
    EXPECT_EQ(layer.getEvents()[0], idle);
    EXPECT_EQ(layer.getEvents()[1], after);
    EXPECT_EQ(journal.size(), 3u);  // the event behind the dropped one ran in the same pass

    EXPECT_NE(layer.findPage(idle->getPages()[0].get()), nullptr);
    EXPECT_EQ(layer.findEvent(noPages.get()), nullptr);
    layer.clear();
    EXPECT_TRUE(layer.getEvents().empty());
    EXPECT_EQ(layer.findEvent(idle.get()), nullptr);
}

TEST(CEventCommandFactoryTest, MakesOnlyTheListedPairs) {
    struct Case {
        std::u16string category;
        std::u16string name;
        bool made;
    };
    const Case cases[] = {
        {u"System", u"DeletePage", true},
        {u"Debug", u"DebugPrint", true},
        {u"ScreenEffect", u"FadeScreen", true},
        {u"System", u"DebugPrint", false},
        {u"system", u"DeletePage", false},
        {u"Debug", u"DebugPrint ", false},
        {u"", u"", false},
    };
    for (const Case& entry : cases) {
        const auto command = createEventCommand(entry.category, entry.name, nullptr);
        EXPECT_EQ(command != nullptr, entry.made);
    }
    EXPECT_NE(dynamic_cast<CDeletePageCommand*>(createEventCommand(u"System", u"DeletePage", nullptr).get()), nullptr);
    EXPECT_NE(dynamic_cast<CFadeScreenCommand*>(createEventCommand(u"ScreenEffect", u"FadeScreen", nullptr).get()),
              nullptr);
}

TEST(CDebugPrintCommandTest, TakesTheMessageOnlyFromSetMessageWithAText) {
    CDebugPrintCommand command;
    command.setup(u"setMessage", {{u"message", std::u16string(u"はじめ")}});
    EXPECT_EQ(command.getMessage(), u"はじめ");
    command.setup(u"setText", {{u"message", std::u16string(u"other")}});
    command.setup(u"setMessage", {{u"message", 3.0f}});  // wrong kind: ignored, no throw
    command.setup(u"setMessage", {});
    EXPECT_EQ(command.getMessage(), u"はじめ");
}

}  // namespace
