#include "game/menu/CSimpleActionItemMenu.h"

#include "game/action/CItemHolderAction.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/menu/CItemRules.h"

namespace Fenwarrow::SceneLayer {

void CSimpleActionItemMenu::prepare(ItemList items, std::u16string caption,
                                    std::shared_ptr<Action::CItemHolderAction> pendingAction, bool withItemActions) {
    items_ = std::move(items);
    caption_ = std::move(caption);
    pendingAction_ = std::move(pendingAction);
    withItemActions_ = withItemActions;
}

void CSimpleActionItemMenu::rebuildList() { buildPages(caption_, false); }

void CSimpleActionItemMenu::fillActions(const std::shared_ptr<Item::CItem>& item) {
    if (pendingAction_) {
        // A holder never goes into itself, nor an item acts on itself.
        const bool self = item.get() == pendingAction_->getHolder();
        const bool cursedEquipped = item->getStatus().getCurse() && isEquipped(*item);
        if (ItemRules::getDirection(*item) == 0 && !ItemRules::isNoPickUp(*item) && !self &&
            !(cursedEquipped && pendingAction_->getActorCommand() == "doPushItem")) {
            addAction(pendingAction_->getMenuLabel(), [this, item] { runPendingAction(item); });
        }
    }
    if (withItemActions_) {
        addItemActions(item);
    }
    addClosingEntries(item);
}

void CSimpleActionItemMenu::runPendingAction(const std::shared_ptr<Item::CItem>& chosen) {
    const std::shared_ptr<Action::CItemHolderAction> action = pendingAction_;
    Item::CItem* actionItem = action->getHolder();
    if (isMouthSealed() && actionItem != nullptr && ItemRules::usesMouth(*actionItem)) {
        if (Dungeon::CDungeon* floor = getFloor()) {
            floor->getLogManager().addLogMessage(u"今は口が使えない！");
        }
        return;
    }
    const std::shared_ptr<Item::CItem> keep = chosen;
    finish();
    if (Actor::CActor* player = getPlayer()) {
        player->callCommand(action->getActorCommand(), {actionItem, keep.get()});
    }
}

}  // namespace Fenwarrow::SceneLayer
