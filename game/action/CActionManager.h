#pragma once
// The floor's queue of actions. Actions start strictly in push order: non-exclusive ones side
// by side, an exclusive one alone once nothing runs. Those that need preparation are prepared
// one at a time on the manager's own thread at the lowest priority, and only while nothing
// runs, so loading never stalls a frame. Every list operation takes the thread's monitor (a
// recursive lock): actions may push further actions from their start, update, end and draw.
#include <list>
#include <memory>

#include "engine/thread/OxThread.h"
#include "game/action/CAction.h"
#include "game/dungeon/IActionManager.h"

namespace Fenwarrow::Action {

class CActionManager : public Orvex::Thread::OxThread, public Dungeon::IActionManager {
public:
    // Starts the loader thread.
    CActionManager();
    // Drops every action without ending it, then stops the loader (waiting for a preparation
    // in progress).
    ~CActionManager() override;

    void pushAction(const std::shared_ptr<CAction>& action);

    // One frame, game thread only: starts what may start, updates what runs, ends what has
    // finished, and wakes the loader when nothing runs and something waits for preparation.
    void update() override;
    void draw() override;
    bool isBusy() const override;
    bool isBlocking() const override;
    // Drops every action without ending it (a floor being set up).
    void clear() override;

    // The loader loop.
    void run() override;

private:
    void startWaiting();
    void updateRunning();
    Orvex::Thread::OxCriticalSection& lock() const;

    std::list<std::shared_ptr<CAction>> running_;
    std::list<std::shared_ptr<CAction>> waiting_;
    std::list<std::shared_ptr<CAction>> loading_;
    // Grows with every clear, so a walk that an action's own call cleared stops there.
    unsigned clearCount_ = 0;
};

}  // namespace Fenwarrow::Action
