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
    // The same on another of the item's scripts.
    CItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item, std::u16string script);

    // A new floor: the item's change-floor script, handed the floor's player and the item,
    // does its work in Game.Action.initialize. The action is prepared at once on the calling
    // thread and dropped; it is never queued. Nothing without a change-floor script.
    static void runChangeFloorScript(IActionContext& context, Item::CItem& item);

    bool initialize() override;
    // The script starts, then the item shows (it may have been hidden in a pack).
    void start() override;
    void end() override { CScriptingAction::end(); }

    Item::CItem* getItem() const { return item_; }

private:
    Item::CItem* item_;
};

}  // namespace Fenwarrow::Action
