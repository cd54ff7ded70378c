#pragma once
// Every value the suspend save keeps of an item or an actor, as lines of text read back through
// the objects' own getters: two descriptions compare field by field, and a line that differs
// names the field.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CActor.h"
#include "game/condition/CConditionController.h"
#include "game/condition/CConditionBase.h"
#include "game/item/CItem.h"
#include "tests/support/SaveGameWorld.h"

namespace SaveTest {

using Fenwarrow::Actor::CActor;
using Fenwarrow::Actor::Condition::CConditionController;
using Fenwarrow::Item::CItem;

inline std::string pointOf(Fenwarrow::Dungeon::MapPoint point) {
    return std::to_string(point.x) + "," + std::to_string(point.y);
}

template <typename T>
std::string text(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Every value an item's record carries, read back through the item's own getters.
inline void describeItem(std::vector<std::string>& out, const CItem& item, const std::string& name) {
    auto& object = const_cast<CItem&>(item);
    const auto& s = item.getStatus();
    const auto* cell = item.getCell();
    out.push_back(name + " id " + text(item.getItemID()) + " at " + (cell ? pointOf(cell->getPoint()) : "-") +
                  " visible " + text(item.isVisible()) + " name " +
                  Orvex::System::narrow(item.Fenwarrow::Dungeon::CCellObject::getName()) + " speed " +
                  text(object.getAnimationSpeed()));
    const std::pair<const char*, std::string> fields[] = {
        {"price", text(s.getPrice())},
        {"unit price", text(s.getUnitPrice())},
        {"use count", text(s.getUseCount())},
        {"base attack", text(s.getBaseAttack())},
        {"attack", text(s.getAttack())},
        {"base defense", text(s.getBaseDefense())},
        {"defense", text(s.getDefense())},
        {"poppable", text(s.getPoppable())},
        {"slots", text(s.getSlotCount())},
        {"curse", text(s.getCurse())},
        {"blessed", text(s.getBlessed())},
        {"frozen", text(s.getFrozen())},
        {"unidentified", text(s.getUnidentified())},
        {"holder", text(s.getItemHolder())},
        {"use if taken", text(s.getUseIfTaken())},
        {"another option", text(s.getAnotherOption())},
        {"shop entry", text(s.getShopEntryId())},
        {"cell x", text(s.getCellX())},
        {"cell y", text(s.getCellY())},
    };
    for (const auto& [field, value] : fields) {
        out.push_back(name + " " + field + " " + value);
    }
    for (uint32_t i = 0; i < Fenwarrow::Item::CItemStatus::kMaxSlotCount; ++i) {
        out.push_back(name + " slot " + text(i) + " " + text(s.getSlotAbility(i)));
    }
    for (std::size_t i = 0; i < CItem::kItemTypeCount; ++i) {
        out.push_back(name + " weight " + text(i) + " " + text(object.getCategoryWeights()[i]));
    }
    for (std::size_t i = 0; i < item.getItemList().size(); ++i) {
        const auto& inner = *item.getItemList().at(i);
        out.push_back(name + " holds " + text(i) + (inner.getHolder() == &item ? " linked" : " unlinked"));
        describeItem(out, inner, name + "/" + text(i));
    }
}

// Every value an actor's record carries: motion, cell-object and turn parts, status, each
// condition, the carried items, the main sprite and the script's own data.
inline void describeActor(std::vector<std::string>& out, const CActor& actor, const std::string& name) {
    auto& a = const_cast<CActor&>(actor);
    const auto& s = actor.getStatus();
    const auto* cell = actor.getCell();
    const std::pair<const char*, std::string> fields[] = {
        {"folder", Orvex::System::narrow(actor.getActorDirectory())},
        {"type", text(actor.getActorType())},
        {"at", cell ? pointOf(cell->getPoint()) : "-"},
        {"motion", Orvex::System::narrow(actor.getMotionName()) + " " + text(actor.getMotionKeepIfPlaying()) +
                       text(actor.getMotionWithDirection()) + text(actor.getMotionLoop())},
        {"motion lock", text(actor.getMotionLock())},
        {"visible", text(actor.isVisible())},
        {"name", Orvex::System::narrow(actor.Fenwarrow::Dungeon::CCellObject::getName())},
        {"speed", text(actor.getAnimationSpeed())},
        {"turn state", text(actor.getTurnState())},
        {"actions left", text(a.Fenwarrow::Dungeon::CTurn::getActionsLeft())},
        {"joined", text(actor.getJoinedThisRound())},
        {"direction", text(s.getDirection())},
        {"turn count", text(s.getTurnCount())},
        {"level", text(s.getLevel())},
        {"max life", text(s.getMaxLife())},
        {"life", text(s.getLife())},
        {"max hunger", text(s.getMaxHungerPoint())},
        {"hunger", text(s.getHungerPoint())},
        {"max force", text(s.getMaxForce())},
        {"force", text(s.getForce())},
        {"attack", text(s.getAttack())},
        {"defense", text(s.getDefense())},
        {"power", text(s.getPower())},
        {"exp", text(s.getEXP())},
        {"categories", text(s.getCategoryBits())},
        {"stability", text(s.getStabilityBits())},
        {"shown", text(s.getShown())},
        {"fps", text(a.getAnimation()->getFPS())},
        {"memo", text(memoOf(actor))},
        {"items", text(actor.getItemList().size())},
    };
    for (const auto& [field, value] : fields) {
        out.push_back(name + " " + field + " " + value);
    }
    auto* conditions = dynamic_cast<CConditionController*>(a.getConditions());
    out.push_back(name + " conditions " + (conditions != nullptr ? "set" : "none"));
    for (int32_t type = 0; conditions != nullptr && type < Fenwarrow::Actor::kConditionTypeCount; ++type) {
        const auto* condition = conditions->getCondition(type);
        const auto* counting = dynamic_cast<const Fenwarrow::Actor::Condition::CCountingCondition*>(condition);
        out.push_back(name + " condition " + text(type) + " on " + text(conditions->isCondition(type)) + " may act " +
                      text(condition->getMayAct()) + " counter " + (counting ? text(counting->getCounter()) : "-"));
    }
    for (std::size_t i = 0; i < actor.getItemList().size(); ++i) {
        describeItem(out, *actor.getItemList().at(i), name + " item " + text(i));
    }
}

}  // namespace SaveTest
