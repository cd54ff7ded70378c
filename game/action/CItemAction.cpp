#include "game/action/CItemAction.h"

#include <utility>

#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

CItemAction::CItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item)
    : CScriptingAction(context, item != nullptr ? item->getActionScriptFileName() : std::u16string(), actor),
      item_(item) {}

CItemAction::CItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item, std::u16string script)
    : CScriptingAction(context, std::move(script), actor), item_(item) {}

void CItemAction::runChangeFloorScript(IActionContext& context, Item::CItem& item) {
    if (item.getChangeFloorScriptFileName().empty()) {
        return;
    }
    Dungeon::CDungeon* floor = context.getCurrentDungeon();
    Actor::CActor* player = floor != nullptr ? floor->getPlayer().get() : nullptr;
    CItemAction action(context, player, &item, item.getChangeFloorScriptFileName());
    action.prepare();
}

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
