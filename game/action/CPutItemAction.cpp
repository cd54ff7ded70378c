#include "game/action/CPutItemAction.h"

#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CMapCell.h"
#include "game/item/CItem.h"

namespace Fenwarrow::Action {

using Orvex::Script::CScriptValue;

namespace {

std::u16string putScriptOf(const Item::CItem* item, const std::u16string& script) {
    if (!script.empty() || item == nullptr) {
        return script;
    }
    return item->getPutScriptFileName();
}

}  // namespace

CPutItemAction::CPutItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item,
                               const std::u16string& script, int32_t word1, int32_t word2)
    : CScriptingAction(context, putScriptOf(item, script), actor), item_(item), word1_(word1), word2_(word2) {}

bool CPutItemAction::initialize() {
    callAction("initialize", {objectArgument(getParameter()), objectArgument(item_), CScriptValue::fromInteger(word1_),
                              CScriptValue::fromInteger(word2_)});
    return true;
}

void CPutItemAction::end() {
    CScriptingAction::end();
    const Dungeon::CMapCell* cell = item_ != nullptr ? item_->getCell() : nullptr;
    if (cell == nullptr || item_->getShopEntryID() == -1) {
        return;
    }
    item_->setShopCell(cell->getPoint());
}

}  // namespace Fenwarrow::Action
