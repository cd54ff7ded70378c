#include "game/action/CThrowItemAction.h"

#include "game/actor/CActor.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

using Orvex::Script::CScriptValue;

CThrowItemAction::CThrowItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item, bool flag,
                                   int32_t word)
    : CScriptingAction(context, item != nullptr ? item->getThrowScriptFileName() : std::u16string(), actor),
      item_(item),
      flag_(flag),
      word_(word) {}

bool CThrowItemAction::initialize() {
    callAction("initialize", {objectArgument(getParameter()), objectArgument(item_), CScriptValue(flag_),
                              CScriptValue::fromInteger(word_)});
    return true;
}

void CThrowItemAction::start() {
    CScriptingAction::start();
    if (item_ != nullptr) {
        item_->setVisible(true);
    }
}

}  // namespace Fenwarrow::Action
