#include "game/action/CTakeItemAction.h"

#include "engine/input/OxVirtualKey.h"
#include "engine/random/OxRandomRange.h"
#include "game/action/CActionManager.h"
#include "game/action/CItemAction.h"
#include "game/action/CScriptingAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Action {

bool CTakeItemAction::checkEquippedItemAbility(const Actor::CActor* actor, uint32_t ability) {
    if (actor == nullptr || actor->getActorType() != Actor::CActor::kPlayer) {
        return false;
    }
    for (const std::shared_ptr<Item::CItem>& item :
         {actor->getEquippedWeaponItem(), actor->getEquippedShieldItem(), actor->getEquippedAmuletItem()}) {
        if (item != nullptr && item->getStatus().checkAbility(ability)) {
            return true;
        }
    }
    return false;
}

bool CTakeItemAction::tryTakeItem(IActionContext& context, Actor::CActor* actor, Item::CItem* item) {
    Dungeon::CDungeon* floor = context.getCurrentDungeon();
    if (Actor::CActor::findLiveActor(actor) == nullptr || item == nullptr || floor == nullptr) {
        return false;
    }
    if (actor->getStatus().getStabilityState(kCannotLiftBit)) {
        floor->getLogManager().addLogMessage(item->getDisplayName(true) + u"は重くて拾う事が出来ない。");
        return false;
    }
    floor->toPlayerItem(item);
    context.playSystemSE(kPickUpSound);
    return true;
}

void CTakeItemAction::logSteppedOn() {
    if (Dungeon::CDungeon* floor = context_.getCurrentDungeon()) {
        floor->getLogManager().addLogMessage(item_->getDisplayName(true) + u"の上に乗った。");
    }
}

void CTakeItemAction::start() {
    setActive(false);
    CActionManager* actions = context_.getActionManager();
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    if (Actor::CActor::findLiveActor(actor_) == nullptr || item_ == nullptr || actions == nullptr || floor == nullptr) {
        return;
    }
    if (checkEquippedItemAbility(actor_, kBurnoutAbility) &&
        Orvex::Random::getRange(context_.getGameContext().getRandomGenerator(), 1, 100) <= kBurnoutChance) {
        actions->pushAction(std::make_shared<CScriptingAction>(context_, kBurnoutScript, actor_));
        return;
    }
    context_.stopPlayerDash();
    if (item_->getStatus().getUseIfTaken()) {
        actions->pushAction(std::make_shared<CItemAction>(context_, actor_, item_));
        return;
    }
    if (actor_->getItemList().size() >= static_cast<std::size_t>(kMaxCarriedItems)) {
        floor->getLogManager().addLogMessage(u"持ち物が一杯で持てない。");
        logSteppedOn();
        return;
    }
    Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey();
    const bool stepOnly =
        actor_->getActorType() == Actor::CActor::kPlayer && keys != nullptr && keys->isDown(kVirtualKeyCancel);
    if (stepOnly) {
        logSteppedOn();
        return;
    }
    tryTakeItem(context_, actor_, item_);
}

}  // namespace Fenwarrow::Action
