#pragma once
// A hierarchical state machine that an owner class derives from. States are member functions of
// the owner; each answers an event it does not handle with its parent, so the event bubbles out
// towards `top`. Transitions exit and enter exactly the states between source and target.
#include <cstdint>
#include <vector>

namespace Orvex::FSM {

// Ids the machine sends itself; the owner's events use 0 and up.
enum : int32_t { HSM_PARENT = -1, HSM_INIT = -2, HSM_ENTRY = -3, HSM_EXIT = -4 };

// Event must be default-constructible and carry a 32-bit signed `id`.
template <class Owner, class Event>
class HsmBase {
public:
    struct State;
    using Handler = State (Owner::*)(const Event&);

    // A state handler, or the null state ("handled").
    struct State {
        Handler handler = nullptr;
        State() = default;
        State(Handler h) : handler(h) {}  // NOLINT: states are written as plain member pointers
        bool isNull() const { return handler == nullptr; }
        bool operator==(const State&) const = default;
    };

    HsmBase(const HsmBase&) = delete;
    HsmBase& operator=(const HsmBase&) = delete;

    // Enters the path from the outermost state down to the initial state, then drills in.
    void start() {
        std::vector<State> path = pathFrom(current_);
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            send(*it, HSM_ENTRY);
        }
        initialDrill();
    }

    // Delivers the event to the current state and up its chain until a state handles it.
    void dispatch(const Event& event) {
        source_ = current_;
        dispatching_ = true;
        while (!source_.isNull()) {
            if (call(source_, event).isNull()) {
                break;
            }
            source_ = parentOf(source_);
        }
        dispatching_ = false;
    }

    // Moves to the target at once; from inside a handler, the handler should return next.
    void transition(State target) {
        // Outside a handler (a deferred call, a fade's callback) the transition starts from the
        // state active now; the source of an earlier event may already have been left.
        if (!dispatching_) {
            source_ = current_;
        }
        while (!(current_ == source_) && !current_.isNull()) {
            send(current_, HSM_EXIT);
            current_ = parentOf(current_);
        }
        if (source_ == target) {
            send(source_, HSM_EXIT);
            send(source_, HSM_ENTRY);
        } else {
            std::vector<State> exits = pathFrom(source_);
            std::vector<State> entries = pathFrom(target);
            while (!exits.empty() && !entries.empty() && exits.back() == entries.back()) {
                exits.pop_back();
                entries.pop_back();
            }
            for (const State& state : exits) {
                send(state, HSM_EXIT);
            }
            for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
                send(*it, HSM_ENTRY);
            }
        }
        current_ = target;
        initialDrill();
    }

    // The root of every chain: handles every event, so nothing passes it.
    State top(const Event&) { return State{}; }
    State topState() const { return State{static_cast<Handler>(&HsmBase::top)}; }

    State getCurrent() const { return current_; }
    State getSource() const { return source_; }

protected:
    // Nothing is entered until `start`.
    explicit HsmBase(State initial) : source_(topState()), current_(initial) {}
    ~HsmBase() = default;

    // A state that handles HSM_INIT sets the substate to drill into here.
    void setCurrent(State state) { current_ = state; }

private:
    State call(State state, const Event& event) { return (static_cast<Owner*>(this)->*state.handler)(event); }
    State send(State state, int32_t id) {
        Event event{};
        event.id = id;
        return call(state, event);
    }
    State parentOf(State state) { return send(state, HSM_PARENT); }

    // The chain from the state outwards, `top` left out.
    std::vector<State> pathFrom(State state) {
        std::vector<State> path;
        const State top = topState();
        while (!state.isNull() && !(state == top)) {
            path.push_back(state);
            state = parentOf(state);
        }
        return path;
    }

    // A state that claims HSM_INIT without naming a substate would drill into itself for ever;
    // the drill stops there instead.
    void initialDrill() {
        for (;;) {
            const State before = current_;
            if (!send(current_, HSM_INIT).isNull() || current_ == before) {
                return;
            }
            send(current_, HSM_ENTRY);
        }
    }

    State source_;
    State current_;
    bool dispatching_ = false;
};

}  // namespace Orvex::FSM
