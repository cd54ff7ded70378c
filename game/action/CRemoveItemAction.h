#pragma once
// Takes an item out of an actor's belongings, keeping the rest of its equipment on.
#include "game/action/CAction.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class CRemoveItemAction : public CAction {
public:
    CRemoveItemAction(Actor::CActor* actor, Item::CItem* item) : actor_(actor), item_(item) {}

    bool isExclusive() const override { return true; }
    // Removing an item moves the indexes behind it: the equipped items are found again after.
    void update() override;

private:
    Actor::CActor* actor_;
    Item::CItem* item_;
};

}  // namespace Fenwarrow::Action
