#include "game/action/CItemHolderAction.h"

#include "game/actor/CActor.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

CItemHolderAction::CItemHolderAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder,
                                     Item::CItem* item)
    : CScriptingAction(context, std::u16string(), actor), holder_(holder), item_(item) {}

bool CItemHolderAction::initialize() {
    callAction("initialize", {objectArgument(getParameter()), objectArgument(item_), objectArgument(holder_)});
    return true;
}

}  // namespace Fenwarrow::Action
