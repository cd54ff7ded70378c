#include "engine/fsm/HsmBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Orvex::FSM::HSM_ENTRY;
using Orvex::FSM::HSM_EXIT;
using Orvex::FSM::HSM_INIT;
using Orvex::FSM::HSM_PARENT;

struct Signal {
    int32_t id = 0;
};

// A small machine:   top ── a ── a1 ── a11
//                       │      └─ a2
//                       └─ b (drills into b1 on init) ── b1
// Every state logs its entry, exit and init, and handles the events listed in `handles`.
class Machine : public Orvex::FSM::HsmBase<Machine, Signal> {
public:
    Machine() : HsmBase(&Machine::a11) {}

    State a(const Signal& s) { return on("a", s, topState()); }
    State a1(const Signal& s) { return on("a1", s, &Machine::a); }
    State a11(const Signal& s) { return on("a11", s, &Machine::a1); }
    State a2(const Signal& s) { return on("a2", s, &Machine::a); }
    State b(const Signal& s) {
        if (s.id == HSM_INIT) {
            log.push_back("b:init");
            setCurrent(&Machine::b1);
            return State{};
        }
        return on("b", s, topState());
    }
    State b1(const Signal& s) { return on("b1", s, &Machine::b); }
    // Claims the init event but names no substate.
    State stubborn(const Signal& s) {
        if (s.id == HSM_INIT) {
            log.push_back("stubborn:init");
            return State{};
        }
        return on("stubborn", s, topState());
    }

    std::vector<std::string> log;
    std::vector<std::pair<std::string, int32_t>> handles;  // state name, event id
    State goTo;                                            // set: the handling state transitions there

private:
    State on(const char* name, const Signal& s, State parent) {
        switch (s.id) {
            case HSM_PARENT:
                return parent;
            case HSM_ENTRY:
                log.push_back(std::string(name) + ":entry");
                return parent;
            case HSM_EXIT:
                log.push_back(std::string(name) + ":exit");
                return parent;
            case HSM_INIT:
                return parent;
            default:
                for (const auto& [state, id] : handles) {
                    if (state == name && id == s.id) {
                        log.push_back(std::string(name) + ":" + std::to_string(s.id));
                        if (!goTo.isNull()) {
                            transition(goTo);
                        }
                        return State{};
                    }
                }
                return parent;
        }
    }
};

using Log = std::vector<std::string>;

TEST(HsmBase, StartEntersOutermostFirstAndDrillsIntoSubstates) {
    Machine m;
    EXPECT_TRUE(m.log.empty());
    m.start();
    EXPECT_EQ(m.log, (Log{"a:entry", "a1:entry", "a11:entry"}));
    EXPECT_EQ(m.getCurrent(), Machine::State{&Machine::a11});

    m.log.clear();
    m.transition(&Machine::b);
    EXPECT_EQ(m.log, (Log{"a11:exit", "a1:exit", "a:exit", "b:entry", "b:init", "b1:entry"}));
    EXPECT_EQ(m.getCurrent(), Machine::State{&Machine::b1});
}

// Each transition is made by the source state while it handles an event, as the owner's
// states do.
TEST(HsmBase, TransitionsExitAndEnterOnlyTheStatesBetween) {
    struct Case {
        const char* name;
        const char* fromName;
        Machine::Handler from;
        Machine::Handler to;
        Log expected;
    };
    const Case cases[] = {
        {"self", "a11", &Machine::a11, &Machine::a11, {"a11:5", "a11:exit", "a11:entry"}},
        {"sibling", "a1", &Machine::a1, &Machine::a2, {"a1:5", "a1:exit", "a2:entry"}},
        {"to descendant", "a", &Machine::a, &Machine::a11, {"a:5", "a1:entry", "a11:entry"}},
        {"to ancestor", "a11", &Machine::a11, &Machine::a, {"a11:5", "a11:exit", "a1:exit"}},
        {"flat", "b1", &Machine::b1, &Machine::a2, {"b1:5", "b1:exit", "b:exit", "a:entry", "a2:entry"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.start();
        m.transition(c.from);
        m.handles = {{c.fromName, 5}};
        m.goTo = c.to;
        m.log.clear();
        m.dispatch(Signal{5});
        EXPECT_EQ(m.log, c.expected);
        EXPECT_EQ(m.getCurrent(), Machine::State{c.to});
    }
}

// Owners also transition from outside any handler (a deferred call, a fade's callback): that
// exits the states active now, not again those a handler left earlier.
TEST(HsmBase, TransitionFromOutsideAHandlerExitsOnlyTheActiveStates) {
    Machine m;
    m.start();
    m.transition(&Machine::b);
    m.handles = {{"b", 5}};
    m.goTo = &Machine::a11;
    m.dispatch(Signal{5});  // handled by b, which leaves for a11
    m.goTo = Machine::State{};
    m.log.clear();
    m.transition(&Machine::a2);
    EXPECT_EQ(m.log, (Log{"a11:exit", "a1:exit", "a2:entry"}));
    EXPECT_EQ(m.getCurrent(), Machine::State{&Machine::a2});
}

TEST(HsmBase, EventsBubbleToTheFirstStateThatHandlesThem) {
    Machine m;
    m.handles = {{"a", 7}, {"a11", 8}};
    m.start();
    m.log.clear();

    m.dispatch(Signal{7});
    EXPECT_EQ(m.log, (Log{"a:7"}));
    EXPECT_EQ(m.getSource(), Machine::State{&Machine::a});
    m.dispatch(Signal{8});
    EXPECT_EQ(m.log, (Log{"a:7", "a11:8"}));
    // Nobody handles 9: top swallows it, and no reserved action ran on the way.
    m.dispatch(Signal{9});
    EXPECT_EQ(m.log, (Log{"a:7", "a11:8"}));
    EXPECT_EQ(m.getSource(), m.topState());
    EXPECT_EQ(m.getCurrent(), Machine::State{&Machine::a11});
}

TEST(HsmBase, TransitionFromAnOuterHandlerExitsTheInnerStatesFirst) {
    Machine m;
    m.handles = {{"a", 7}};
    m.goTo = &Machine::a2;
    m.start();
    m.log.clear();
    m.dispatch(Signal{7});
    // a handled it: a11 and a1 are left first, a itself stays active.
    EXPECT_EQ(m.log, (Log{"a:7", "a11:exit", "a1:exit", "a2:entry"}));
    EXPECT_EQ(m.getCurrent(), Machine::State{&Machine::a2});
}

TEST(HsmBase, InitClaimedWithoutASubstateDoesNotLoop) {
    Machine m;
    m.start();
    m.log.clear();
    m.transition(&Machine::stubborn);
    EXPECT_EQ(m.log, (Log{"a11:exit", "a1:exit", "a:exit", "stubborn:entry", "stubborn:init"}));
    EXPECT_EQ(m.getCurrent(), Machine::State{&Machine::stubborn});
}

}  // namespace
