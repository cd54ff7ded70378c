#include "game/action/CRemoveItemAction.h"

#include "game/actor/CActor.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

void CRemoveItemAction::update() {
    if (Actor::CActor::findLiveActor(actor_) != nullptr) {
        const std::shared_ptr<Item::CItem> weapon = actor_->getEquippedWeaponItem();
        const std::shared_ptr<Item::CItem> shield = actor_->getEquippedShieldItem();
        const std::shared_ptr<Item::CItem> amulet = actor_->getEquippedAmuletItem();
        actor_->removeItem(item_);
        // The removed item itself leaves its slot free: its old index now names its neighbour.
        auto still = [this](const std::shared_ptr<Item::CItem>& equipped) {
            return equipped.get() != item_ ? equipped.get() : nullptr;
        };
        actor_->setEquippedWeaponItem(still(weapon));
        actor_->setEquippedShieldItem(still(shield));
        actor_->setEquippedAmuletItem(still(amulet));
    }
    setActive(false);
}

}  // namespace Fenwarrow::Action
