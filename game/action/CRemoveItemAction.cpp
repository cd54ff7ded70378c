#include "game/action/CRemoveItemAction.h"

#include "game/actor/CActor.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

void CRemoveItemAction::update() {
    if (actor_ != nullptr) {
        const std::shared_ptr<Item::CItem> weapon = actor_->getEquippedWeaponItem();
        const std::shared_ptr<Item::CItem> shield = actor_->getEquippedShieldItem();
        const std::shared_ptr<Item::CItem> amulet = actor_->getEquippedAmuletItem();
        actor_->removeItem(item_);
        actor_->setEquippedWeaponItem(weapon.get());
        actor_->setEquippedShieldItem(shield.get());
        actor_->setEquippedAmuletItem(amulet.get());
    }
    setActive(false);
}

}  // namespace Fenwarrow::Action
