#pragma once
// An actor uses an item: the item's action script, handed the actor and the item.
#include "game/action/CScriptingAction.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class CItemAction : public CScriptingAction {
public:
    CItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item);

    bool initialize() override;
    // The script starts, then the item shows (it may have been hidden in a pack).
    void start() override;
    void end() override { CScriptingAction::end(); }

    Item::CItem* getItem() const { return item_; }

private:
    Item::CItem* item_;
};

}  // namespace Fenwarrow::Action
