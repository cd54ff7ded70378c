#include "game/action/CUseItemAction.h"

#include "game/item/CItem.h"

namespace Fenwarrow::Action {

CUseItemAction::CUseItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item)
    : CItemHolderAction(context, actor, holder, item) {
    setScriptFileName(getHolderScriptFileName());
}

std::u16string CUseItemAction::getHolderScriptFileName() const {
    return getHolder() != nullptr ? getHolder()->getActionScriptFileName() : std::u16string();
}

bool CUseItemAction::initialize() {
    callAction("initialize", {objectArgument(getActor()), objectArgument(getHolder()), objectArgument(getItem())});
    return true;
}

}  // namespace Fenwarrow::Action
