#include "game/action/CPushItemAction.h"

#include "game/action/CTakeItemAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

CPushItemAction::CPushItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item)
    : CItemHolderAction(context, actor, holder, item) {
    setScriptFileName(getHolderScriptFileName());
}

std::u16string CPushItemAction::getHolderScriptFileName() const {
    return getHolder() != nullptr ? getHolder()->getPushScriptFileName() : std::u16string();
}

bool CPushItemAction::initialize() {
    callAction("initialize", {objectArgument(getActor()), objectArgument(getHolder()), objectArgument(getItem())});
    return true;
}

void CPushItemAction::start() {
    Item::CItem* item = getItem();
    Dungeon::CDungeon* floor = getContext().getCurrentDungeon();
    const Actor::CActor* player = floor != nullptr ? floor->getPlayer().get() : nullptr;
    const bool carriedByPlayer = player != nullptr && player->findItem(item) >= 0;
    if (item != nullptr && item->getCell() != nullptr && !carriedByPlayer) {
        taken_ = true;
        kept_ = CTakeItemAction::tryTakeItem(getContext(), getActor(), item);
    }
    if (kept_) {
        CScriptingAction::start();
    }
}

void CPushItemAction::end() {
    Actor::CActor* actor = getActor();
    if (taken_ && kept_ && Actor::CActor::findLiveActor(actor) != nullptr && actor->findItem(getItem()) >= 0) {
        actor->callCommand("doPutItem", {getItem()});
    }
    CScriptingAction::end();
}

}  // namespace Fenwarrow::Action
