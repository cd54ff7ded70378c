#pragma once
// An actor throws an item: the item's throw script, handed the actor, the item and the two
// values of the throw.
#include <cstdint>

#include "game/action/CScriptingAction.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class CThrowItemAction : public CScriptingAction {
public:
    CThrowItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item, bool flag = true,
                     int32_t word = -1);

    bool initialize() override;
    // The script starts, then the item shows in flight.
    void start() override;
    void end() override { CScriptingAction::end(); }

    Item::CItem* getItem() const { return item_; }

private:
    Item::CItem* item_;
    bool flag_;
    int32_t word_;
};

}  // namespace Fenwarrow::Action
