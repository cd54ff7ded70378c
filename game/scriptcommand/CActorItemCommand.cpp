// The `Actor.Item` and `Actor.Action` sub-tables of the "Actor" module: the items an actor
// carries and wears, and the actions a script queues for an actor.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "game/action/CActionManager.h"
#include "game/action/CCellMoveAction.h"
#include "game/action/CItemAction.h"
#include "game/action/CPopItemAction.h"
#include "game/action/CPushItemAction.h"
#include "game/action/CPutItemAction.h"
#include "game/action/CRemoveItemAction.h"
#include "game/action/CScriptingAction.h"
#include "game/action/CTakeItemAction.h"
#include "game/action/CThrowItemAction.h"
#include "game/action/CUseItemAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CMapCell.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/scriptcommand/ActorCommandSupport.h"
#include "game/scriptcommand/CActorCommand.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand::ActorCommand {

using Actor::CActor;
using Item::CItem;
using ScriptArguments::flagArg;
using ScriptArguments::intArg;
using ScriptArguments::wideArg;

namespace {

// Takes the item out of the actor's list while the equipment stays on the items that wear it:
// the game data keeps the equipment as list indexes, which the removal would shift. An item
// that was itself equipped leaves its slot empty.
std::shared_ptr<CItem> removeKeepingEquipment(CActor& actor, CItem* item) {
    const std::shared_ptr<CItem> weapon = actor.getEquippedWeaponItem();
    const std::shared_ptr<CItem> shield = actor.getEquippedShieldItem();
    const std::shared_ptr<CItem> amulet = actor.getEquippedAmuletItem();
    std::shared_ptr<CItem> removed = actor.removeItem(item);
    if (removed == nullptr) {
        return removed;
    }
    // A slot is set again only when it was worn: the others keep what they held.
    const auto still = [&removed](const std::shared_ptr<CItem>& worn) {
        return worn.get() != removed.get() ? worn.get() : nullptr;
    };
    if (weapon != nullptr) {
        actor.setEquippedWeaponItem(still(weapon));
    }
    if (shield != nullptr) {
        actor.setEquippedShieldItem(still(shield));
    }
    if (amulet != nullptr) {
        actor.setEquippedAmuletItem(still(amulet));
    }
    return removed;
}

int pushInteger(lua_State* L, int32_t value) {
    lua_pushinteger(L, value);
    return 1;
}

int pushNil(lua_State* L) {
    lua_pushnil(L);
    return 1;
}

// The item at that index of the actor's list; null outside the list.
CItem* carriedItem(const CActor& actor, int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= actor.getItemList().size()) {
        return nullptr;
    }
    return actor.getItemList().at(static_cast<std::size_t>(index)).get();
}

// A flag passed as the third argument counts only when it is the last of exactly three.
bool optionalThirdFlag(lua_State* L) { return lua_gettop(L) == 3 && flagArg(L, 3); }

}  // namespace

// Actor.Item

int getItemCount(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushInteger(L, static_cast<int32_t>(actor->getItemList().size())) : pushNil(L);
}

int getItem(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return pushObject(L, actor != nullptr ? carriedItem(*actor, intArg(L, 2)) : nullptr);
}

// Inserted at an index of 0 or more, appended without one (or with a negative one). An index
// past the end of the list makes no item.
int createItem(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    Item::CItemFactory* factory = module(L).getContext().getItemFactory();
    const int32_t id = intArg(L, 2);
    const bool hasIndex = lua_gettop(L) >= 3 && lua_type(L, 3) == LUA_TNUMBER;
    const int32_t index = hasIndex ? intArg(L, 3) : -1;
    if (actor == nullptr || factory == nullptr || id < 0 ||
        (index >= 0 && static_cast<std::size_t>(index) > actor->getItemList().size())) {
        return pushNil(L);
    }
    std::shared_ptr<CItem> item = factory->createItem(static_cast<uint32_t>(id));
    if (item == nullptr) {
        return pushNil(L);
    }
    if (index >= 0) {
        actor->insertItem(item, static_cast<std::size_t>(index));
    } else {
        actor->addItem(item);
    }
    return pushObject(L, item.get());
}

// An item, or the index of one (a whole number); any other argument does nothing.
int deleteItem(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return 0;
    }
    CItem* item = nullptr;
    if (lua_type(L, 2) == LUA_TLIGHTUSERDATA) {
        item = itemArg(L, 2);
    } else if (lua_type(L, 2) == LUA_TNUMBER) {
        const lua_Number value = lua_tonumber(L, 2);
        if (std::floor(value) == value) {
            item = carriedItem(*actor, intArg(L, 2));
        }
    }
    if (item != nullptr) {
        removeKeepingEquipment(*actor, item);
    }
    return 0;
}

int toActor(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    CActor* receiver = actorArg(L, 2);
    CItem* item = itemArg(L, 3);
    if (actor == nullptr || receiver == nullptr || item == nullptr) {
        return 0;
    }
    if (std::shared_ptr<CItem> moved = removeKeepingEquipment(*actor, item)) {
        receiver->addItem(moved);
    }
    return 0;
}

int attachItem(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    CItem* item = itemArg(L, 2);
    if (actor != nullptr && item != nullptr) {
        actor->attachItem(item, optionalThirdFlag(L));
    }
    return 0;
}

int detachEquippedItem(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    CItem* item = itemArg(L, 2);
    if (actor != nullptr && item != nullptr) {
        actor->detachEquippedItem(item, optionalThirdFlag(L));
    }
    return 0;
}

namespace {

// nil empties the slot; a pointer that is no live item equips nothing and answers nil.
template <int32_t (CActor::*Equip)(const CItem*)>
int setEquippedItem(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    CItem* item = itemArg(L, 2);
    if (actor == nullptr || (item == nullptr && lua_touserdata(L, 2) != nullptr)) {
        return pushNil(L);
    }
    return pushInteger(L, (actor->*Equip)(item));
}

template <void (CActor::*Set)(int32_t)>
int setEquippedIndex(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        (actor->*Set)(intArg(L, 2));
    }
    return 0;
}

template <std::shared_ptr<CItem> (CActor::*Get)() const>
int getEquippedItem(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return pushObject(L, actor != nullptr ? (actor->*Get)().get() : nullptr);
}

template <int32_t (CActor::*Get)() const>
int getEquippedIndex(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushInteger(L, (actor->*Get)()) : pushNil(L);
}

}  // namespace

int setEquippedWeaponItem(lua_State* L) { return setEquippedItem<&CActor::setEquippedWeaponItem>(L); }
int setEquippedShieldItem(lua_State* L) { return setEquippedItem<&CActor::setEquippedShieldItem>(L); }
int setEquippedAmuletItem(lua_State* L) { return setEquippedItem<&CActor::setEquippedAmuletItem>(L); }
int setEquippedWeaponIndex(lua_State* L) { return setEquippedIndex<&CActor::setEquippedWeaponIndex>(L); }
int setEquippedShieldIndex(lua_State* L) { return setEquippedIndex<&CActor::setEquippedShieldIndex>(L); }
int setEquippedAmuletIndex(lua_State* L) { return setEquippedIndex<&CActor::setEquippedAmuletIndex>(L); }
int getEquippedWeaponItem(lua_State* L) { return getEquippedItem<&CActor::getEquippedWeaponItem>(L); }
int getEquippedShieldItem(lua_State* L) { return getEquippedItem<&CActor::getEquippedShieldItem>(L); }
int getEquippedAmuletItem(lua_State* L) { return getEquippedItem<&CActor::getEquippedAmuletItem>(L); }
int getEquippedWeaponIndex(lua_State* L) { return getEquippedIndex<&CActor::getEquippedWeaponIndex>(L); }
int getEquippedShieldIndex(lua_State* L) { return getEquippedIndex<&CActor::getEquippedShieldIndex>(L); }
int getEquippedAmuletIndex(lua_State* L) { return getEquippedIndex<&CActor::getEquippedAmuletIndex>(L); }

// Actor.Action: each function queues one action on the floor's action queue; nothing without
// a known actor, its objects, or a running game to queue on.

namespace {

struct ActionTarget {
    Action::IActionContext* context = nullptr;
    Action::CActionManager* actions = nullptr;
    CActor* actor = nullptr;

    explicit operator bool() const { return actions != nullptr && actor != nullptr; }
};

ActionTarget actionTarget(lua_State* L) {
    ActionTarget target;
    target.actor = actorArg(L, 1);
    target.context = module(L).getActionContext();
    target.actions = target.context != nullptr ? target.context->getActionManager() : nullptr;
    return target;
}

// An action on an item held in a container (holder, item).
template <typename HolderAction>
int pushHolderAction(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    CItem* holder = itemArg(L, 2);
    CItem* item = itemArg(L, 3);
    if (target && holder != nullptr && item != nullptr) {
        target.actions->pushAction(std::make_shared<HolderAction>(*target.context, target.actor, holder, item));
    }
    return 0;
}

}  // namespace

int pushAction(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    if (target) {
        target.actions->pushAction(
            std::make_shared<Action::CScriptingAction>(*target.context, wideArg(L, 2), target.actor));
    }
    return 0;
}

// A step by (dx, dy) from the actor's cell; nothing for an actor on no cell.
int doMove(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    const Dungeon::CMapCell* cell = target ? target.actor->getCell() : nullptr;
    if (cell == nullptr) {
        return 0;
    }
    const int64_t x = int64_t{cell->x} + intArg(L, 2);
    const int64_t y = int64_t{cell->y} + intArg(L, 3);
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    if (x < kMin || x > kMax || y < kMin || y > kMax) {
        return 0;
    }
    target.actions->pushAction(std::make_shared<Action::CCellMoveAction>(
        *target.context, target.actor, Dungeon::MapPoint{static_cast<int32_t>(x), static_cast<int32_t>(y)}));
    return 0;
}

int doItem(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    if (CItem* item = itemArg(L, 2); target && item != nullptr) {
        target.actions->pushAction(std::make_shared<Action::CItemAction>(*target.context, target.actor, item));
    }
    return 0;
}

// The script path counts only as the last of exactly five arguments; empty, the item's own
// put script runs.
int doPutItem(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    CItem* item = itemArg(L, 2);
    if (!target || item == nullptr) {
        return 0;
    }
    const int32_t first = intArg(L, 3);
    const int32_t second = intArg(L, 4);
    const std::u16string script = lua_gettop(L) == 5 ? wideArg(L, 5) : std::u16string();
    target.actions->pushAction(
        std::make_shared<Action::CPutItemAction>(*target.context, target.actor, item, script, first, second));
    return 0;
}

// The flag and the number count only as the last two of exactly four arguments; without them
// the throw takes true and -1.
int doThrowItem(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    CItem* item = itemArg(L, 2);
    if (!target || item == nullptr) {
        return 0;
    }
    const bool given = lua_gettop(L) == 4;
    const bool flag = given ? flagArg(L, 3) : true;
    const int32_t word = given ? intArg(L, 4) : -1;
    target.actions->pushAction(
        std::make_shared<Action::CThrowItemAction>(*target.context, target.actor, item, flag, word));
    return 0;
}

int doPushItem(lua_State* L) { return pushHolderAction<Action::CPushItemAction>(L); }
int doPopItem(lua_State* L) { return pushHolderAction<Action::CPopItemAction>(L); }
int doUseItem(lua_State* L) { return pushHolderAction<Action::CUseItemAction>(L); }

int doRemoveItem(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    if (CItem* item = itemArg(L, 2); target && item != nullptr) {
        target.actions->pushAction(std::make_shared<Action::CRemoveItemAction>(target.actor, item));
    }
    return 0;
}

int doTakeItem(lua_State* L) {
    const ActionTarget target = actionTarget(L);
    if (CItem* item = itemArg(L, 2); target && item != nullptr) {
        target.actions->pushAction(std::make_shared<Action::CTakeItemAction>(*target.context, target.actor, item));
    }
    return 0;
}

}  // namespace Fenwarrow::ScriptCommand::ActorCommand
