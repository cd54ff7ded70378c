#include "game/action/CActionManager.h"

#include <vector>

#include "engine/system/OxException.h"

namespace Fenwarrow::Action {

using Orvex::Thread::OxCriticalLock;

CActionManager::CActionManager() {
    // The loader starts asleep: only an update that finds nothing running wakes it, so an
    // action pushed at once is not prepared while others run.
    suspend(0);
    start();
}

CActionManager::~CActionManager() {
    {
        OxCriticalLock guard(lock());
        running_.clear();
        waiting_.clear();
        loading_.clear();
    }
    stop();
}

Orvex::Thread::OxCriticalSection& CActionManager::lock() const {
    // The monitor is the thread object's; locking it changes no state of the queue.
    return const_cast<CActionManager*>(this)->getMonitor();
}

void CActionManager::pushAction(const std::shared_ptr<CAction>& action) {
    if (action == nullptr) {
        return;
    }
    OxCriticalLock guard(lock());
    waiting_.push_back(action);
    if (action->needsPreparation()) {
        loading_.push_back(action);
    } else {
        action->setPrepared(true);
    }
}

void CActionManager::startWaiting() {
    // The front is taken off before it starts: its start may push, or clear the queue.
    while (!waiting_.empty()) {
        const std::shared_ptr<CAction> action = waiting_.front();
        if (!action->isPrepared()) {
            return;
        }
        if (!action->isExclusive()) {
            waiting_.pop_front();
            running_.push_back(action);
            action->start();
            continue;
        }
        if (!running_.empty()) {
            return;
        }
        waiting_.pop_front();
        action->start();
        if (action->isActive()) {
            running_.push_back(action);
            return;
        }
        // Finished in its start: it never runs.
        action->end();
    }
}

void CActionManager::updateRunning() {
    const unsigned clears = clearCount_;
    const std::vector<std::shared_ptr<CAction>> walk(running_.begin(), running_.end());
    for (const std::shared_ptr<CAction>& action : walk) {
        action->update();
        if (clearCount_ != clears) {
            return;
        }
        if (!action->isActive()) {
            action->end();
            if (clearCount_ != clears) {
                return;
            }
            running_.remove(action);
        }
    }
}

void CActionManager::update() {
    OxCriticalLock guard(lock());
    startWaiting();
    updateRunning();
    if (running_.empty() && !loading_.empty()) {
        resume();
    }
}

void CActionManager::draw() {
    OxCriticalLock guard(lock());
    const std::vector<std::shared_ptr<CAction>> walk(running_.begin(), running_.end());
    for (const std::shared_ptr<CAction>& action : walk) {
        action->draw();
    }
}

bool CActionManager::isBusy() const {
    OxCriticalLock guard(lock());
    return !running_.empty() || !waiting_.empty() || !loading_.empty();
}

bool CActionManager::isBlocking() const {
    OxCriticalLock guard(lock());
    for (const std::shared_ptr<CAction>& action : waiting_) {
        if (action->isExclusive()) {
            return true;
        }
    }
    return !running_.empty() && running_.front()->isExclusive();
}

void CActionManager::clear() {
    OxCriticalLock guard(lock());
    ++clearCount_;
    running_.clear();
    waiting_.clear();
    loading_.clear();
}

void CActionManager::run() {
    setLowestPriority();
    try {
        while (keepRunning()) {
            std::shared_ptr<CAction> action;
            {
                OxCriticalLock guard(lock());
                if (loading_.empty()) {
                    suspend(0);
                    continue;
                }
                action = loading_.front();
            }
            // Unlocked: the game thread goes on updating and drawing meanwhile.
            action->prepare();
            OxCriticalLock guard(lock());
            action->setPrepared(true);
            loading_.remove(action);
            suspend(0);
            action.reset();
        }
    } catch (const Orvex::Exception::OxInterruptedException&) {
        // Interrupted: the loader ends like a stopped one.
    }
}

}  // namespace Fenwarrow::Action
