#pragma once
// One thing an actor does that takes visible time. The floor's action manager starts actions
// in queue order, updates them every frame until they clear their active flag, and has those
// that need heavy set-up prepared on its loader thread first.
#include <atomic>

namespace Fenwarrow::Action {

class CAction {
public:
    CAction() = default;
    CAction(const CAction&) = delete;
    CAction& operator=(const CAction&) = delete;
    virtual ~CAction() = default;

    // An exclusive action runs alone and holds back everything queued behind it.
    virtual bool isExclusive() const { return true; }
    // True: `prepare` must run on the loader thread before the action may start.
    virtual bool needsPreparation() const { return false; }
    // Loader thread only; must not touch the manager's lists.
    virtual void prepare() {}
    // Game thread, once, when the action leaves the waiting list.
    virtual void start() {}
    // Game thread, once, when the manager drops the action.
    virtual void end() {}
    // Game thread, every frame while the action runs.
    virtual void update() = 0;
    // From the floor's draw pass while the action runs.
    virtual void draw() {}

    bool isActive() const { return active_.load(std::memory_order_acquire); }
    void setActive(bool active) { active_.store(active, std::memory_order_release); }
    bool isPrepared() const { return prepared_.load(std::memory_order_acquire); }
    void setPrepared(bool prepared) { prepared_.store(prepared, std::memory_order_release); }

private:
    std::atomic<bool> active_{true};
    std::atomic<bool> prepared_{false};
};

}  // namespace Fenwarrow::Action
