// The equipment operations of CActor: the player's slots live with the keeper of its belongings.
#include "game/actor/CActor.h"
#include "game/actor/IPlayerEquipment.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Actor {

IPlayerEquipment* CActor::getEquipment() const { return getActorType() == kPlayer ? equipment_ : nullptr; }

int32_t CActor::setEquippedWeaponItem(const Item::CItem* item) {
    IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->setEquippedWeaponItem(item) : -1;
}

int32_t CActor::setEquippedShieldItem(const Item::CItem* item) {
    IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->setEquippedShieldItem(item) : -1;
}

int32_t CActor::setEquippedAmuletItem(const Item::CItem* item) {
    IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->setEquippedAmuletItem(item) : -1;
}

void CActor::setEquippedWeaponIndex(int32_t index) {
    if (IPlayerEquipment* keeper = getEquipment()) {
        keeper->setEquippedWeaponIndex(index);
    }
}

void CActor::setEquippedShieldIndex(int32_t index) {
    if (IPlayerEquipment* keeper = getEquipment()) {
        keeper->setEquippedShieldIndex(index);
    }
}

void CActor::setEquippedAmuletIndex(int32_t index) {
    if (IPlayerEquipment* keeper = getEquipment()) {
        keeper->setEquippedAmuletIndex(index);
    }
}

std::shared_ptr<Item::CItem> CActor::getEquippedWeaponItem() const {
    const IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->getEquippedWeaponItem() : nullptr;
}

std::shared_ptr<Item::CItem> CActor::getEquippedShieldItem() const {
    const IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->getEquippedShieldItem() : nullptr;
}

std::shared_ptr<Item::CItem> CActor::getEquippedAmuletItem() const {
    const IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->getEquippedAmuletItem() : nullptr;
}

int32_t CActor::getEquippedWeaponIndex() const {
    const IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->getEquippedWeaponIndex() : -1;
}

int32_t CActor::getEquippedShieldIndex() const {
    const IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->getEquippedShieldIndex() : -1;
}

int32_t CActor::getEquippedAmuletIndex() const {
    const IPlayerEquipment* keeper = getEquipment();
    return keeper != nullptr ? keeper->getEquippedAmuletIndex() : -1;
}

void CActor::detachEquippedItem(const Item::CItem* item, bool resetSprite) {
    IPlayerEquipment* keeper = getEquipment();
    if (keeper == nullptr || item == nullptr) {
        return;
    }
    keeper->detachEquippedItem(item);
    if (resetSprite) {
        if (item->getItemType() == Item::CItem::kWeapon) {
            sprites_[kWeaponSprite]->clear();
        } else if (item->getItemType() == Item::CItem::kShield) {
            sprites_[kShieldSprite]->clear();
        }
    }
}

bool CActor::attachItem(Item::CItem* item, bool runScript) {
    if (getEquipment() == nullptr || item == nullptr) {
        return false;
    }
    int32_t index = -1;
    switch (item->getItemType()) {
        case Item::CItem::kWeapon:
            index = setEquippedWeaponItem(item);
            break;
        case Item::CItem::kShield:
            index = setEquippedShieldItem(item);
            break;
        case Item::CItem::kAmulet:
            index = setEquippedAmuletItem(item);
            break;
        default:
            break;
    }
    if (index < 0) {
        return false;
    }
    if (!runScript || item->getAttachScriptFileName().empty()) {
        return true;
    }
    return runAttachScript(*item);
}

bool CActor::runAttachScript(Item::CItem& item) {
    CScriptController script(context_);
    if (!script.loadScript(item.getAttachScriptFileName(), kAttachScriptMemory) ||
        !attachScriptModules(
            script, context_,
            {ScriptModule::kActor, ScriptModule::kItem, ScriptModule::kGame, ScriptModule::kMossbellLib}) ||
        !script.runMain()) {
        return false;
    }
    // The script's modules take back only what was lent to its state.
    ScriptArguments::lendObject(script.getLuaState(), static_cast<void*>(this));
    ScriptArguments::lendObject(script.getLuaState(), &item);
    std::vector<CScriptValue> results;
    script.callFunction(results, "attach", 0,
                        {CScriptValue(static_cast<void*>(this)), CScriptValue(static_cast<void*>(&item))});
    script.close();
    return true;
}

}  // namespace Fenwarrow::Actor
