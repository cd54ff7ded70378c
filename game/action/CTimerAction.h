#pragma once
// A wait: holds the queue for a number of seconds of frame time.
#include "game/action/CAction.h"

namespace Fenwarrow::Action {

class IActionContext;

class CTimerAction : public CAction {
public:
    CTimerAction(IActionContext& context, float seconds) : context_(context), remaining_(seconds) {}

    bool isExclusive() const override { return true; }
    // Counts the frame time down; ends once nothing is left (a wait of 0 ends on its first frame).
    void update() override;

    float getRemainingTime() const { return remaining_; }

private:
    IActionContext& context_;
    float remaining_;
};

}  // namespace Fenwarrow::Action
