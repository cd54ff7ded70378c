#pragma once
// A list of items handed over with a caption and, optionally, an action that waits for one of
// them to be chosen: the item at the feet, the player's items to choose a target or an item to
// put into a holder, or the contents of a holder.
#include <memory>
#include <string>

#include "game/menu/CItemMenu.h"

namespace Fenwarrow::Action {
class CItemHolderAction;
}

namespace Fenwarrow::SceneLayer {

class CSimpleActionItemMenu : public CItemMenu {
public:
    explicit CSimpleActionItemMenu(CGameMenu& owner) : CItemMenu(owner) {}

    // What the opener hands over before the screen opens.
    void prepare(ItemList items, std::u16string caption, std::shared_ptr<Action::CItemHolderAction> pendingAction,
                 bool withItemActions);
    void rebuildList() override;

    const std::u16string& getCaption() const { return caption_; }
    const std::shared_ptr<Action::CItemHolderAction>& getPendingAction() const { return pendingAction_; }

protected:
    void fillActions(const std::shared_ptr<Item::CItem>& item) override;

private:
    void runPendingAction(const std::shared_ptr<Item::CItem>& chosen);

    std::shared_ptr<Action::CItemHolderAction> pendingAction_;
    bool withItemActions_ = false;
    std::u16string caption_;
};

}  // namespace Fenwarrow::SceneLayer
