#include "game/action/CItemAction.h"

#include "game/actor/CActor.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

CItemAction::CItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item)
    : CScriptingAction(context, item != nullptr ? item->getActionScriptFileName() : std::u16string(), actor),
      item_(item) {}

bool CItemAction::initialize() {
    callAction("initialize", {objectArgument(getParameter()), objectArgument(item_)});
    return true;
}

void CItemAction::start() {
    CScriptingAction::start();
    if (item_ != nullptr) {
        item_->setVisible(true);
    }
}

}  // namespace Fenwarrow::Action
