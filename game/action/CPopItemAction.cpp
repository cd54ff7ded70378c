#include "game/action/CPopItemAction.h"

#include "game/item/CItem.h"

namespace Fenwarrow::Action {

CPopItemAction::CPopItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item)
    : CItemHolderAction(context, actor, holder, item) {
    setScriptFileName(getHolderScriptFileName());
}

std::u16string CPopItemAction::getHolderScriptFileName() const {
    return getHolder() != nullptr ? getHolder()->getPopScriptFileName() : std::u16string();
}

bool CPopItemAction::initialize() {
    callAction("initialize", {objectArgument(getActor()), objectArgument(getHolder()), objectArgument(getItem())});
    return true;
}

}  // namespace Fenwarrow::Action
