#include "game/action/CTimerAction.h"

#include "game/action/IActionContext.h"

namespace Fenwarrow::Action {

void CTimerAction::update() {
    remaining_ -= context_.getFrameTime();
    if (remaining_ <= 0.0f) {
        setActive(false);
    }
}

}  // namespace Fenwarrow::Action
