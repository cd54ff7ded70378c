#include "game/scriptcommand/KnownActors.h"
#include "game/scriptcommand/CActorCommand.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/actor/ConditionType.h"
#include "game/action/IActionContext.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/scriptcommand/ActorCommandSupport.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace ActorCommand {

using Actor::CActor;
using Actor::IActorConditions;
using ScriptArguments::flagArg;
using ScriptArguments::floatArg;
using ScriptArguments::intArg;
using ScriptArguments::pushText;
using ScriptArguments::textArg;
using ScriptArguments::wideArg;

CActorCommand& module(lua_State* L) {
    CActorCommand* found = CActorCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Actor: no module object is attached to this state");
    }
    return *found;
}

CActor* actorArg(lua_State* L, int index) {
    CActorCommand& self = module(L);
    CGameDataManager* data = self.getContext().getGameDataManager();
    return findKnownActor(L, lua_touserdata(L, index), data != nullptr ? data->getPlayer().get() : nullptr,
                          self.getFloor());
}

Item::CItem* itemArg(lua_State* L, int index) { return Item::CItem::findLiveItem(lua_touserdata(L, index)); }

int pushObject(lua_State* L, void* object) {
    if (object != nullptr) {
        lua_pushlightuserdata(L, object);
    } else {
        lua_pushnil(L);
    }
    return 1;
}

namespace {

// Status and condition bit numbers wrap at the width of the bit sets.
uint32_t bitArg(lua_State* L, int index) { return static_cast<uint32_t>(intArg(L, index)) & 31u; }

int pushInteger(lua_State* L, int32_t value) {
    lua_pushinteger(L, value);
    return 1;
}

int pushNumber(lua_State* L, float value) {
    lua_pushnumber(L, value);
    return 1;
}

int pushFlag(lua_State* L, bool value) {
    lua_pushboolean(L, value ? 1 : 0);
    return 1;
}

int pushNil(lua_State* L) {
    lua_pushnil(L);
    return 1;
}

// Actor

int getActorType(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushInteger(L, actor->getActorType()) : pushNil(L);
}

int getActorID(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushInteger(L, actor->getActorID()) : pushNil(L);
}

int setActorID(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->setActorID(intArg(L, 2));
    }
    return 0;
}

// The draw position of the actor's cell; nothing for an actor on no cell.
int getDrawPosition(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    float x = 0.0f;
    float y = 0.0f;
    if (actor == nullptr || !actor->getDrawPosition(x, y)) {
        return pushNil(L);
    }
    lua_pushnumber(L, x);
    lua_pushnumber(L, y);
    return 2;
}

int getActorDrawPosition(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    lua_pushnumber(L, actor->getDrawPositionX());
    lua_pushnumber(L, actor->getDrawPositionY());
    return 2;
}

int setName(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->setName(wideArg(L, 2));
    }
    return 0;
}

int getName(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    pushText(L, actor->getName());
    return 1;
}

int setDrawOffset(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->setDrawOffset(floatArg(L, 2), floatArg(L, 3));
    }
    return 0;
}

int getDrawOffset(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    lua_pushnumber(L, actor->getDrawOffsetX());
    lua_pushnumber(L, actor->getDrawOffsetY());
    return 2;
}

// The damage rules take the handle back: it is lent to this state.
int getOriginParam(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    float* values = actor->getStatus().getCategoryValues().data();
    ScriptArguments::lendObject(L, values);
    return pushObject(L, values);
}

int getActorDirectory(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    pushText(L, actor->getActorDirectory());
    return 1;
}

// While the player hallucinates, every other actor is drawn from the Mobbly's folder.
int getDisplayActorDirectory(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    const CGameDataManager* data = module(L).getContext().getGameDataManager();
    const CActor* player = data != nullptr ? data->getPlayer().get() : nullptr;
    if (player != nullptr && actor != player && player->hasCondition(Actor::kConditionTrip)) {
        pushText(L, u"Actor/Enemy/MOBB/MOBB01/");
        return 1;
    }
    pushText(L, actor->getActorDirectory());
    return 1;
}

// The sprite is lent to this state, so that the animation functions take it back.
int pushSprite(lua_State* L, const std::shared_ptr<Orvex::MossbellLib::OxMADObject>& sprite) {
    if (sprite == nullptr) {
        return pushNil(L);
    }
    ScriptArguments::lendObject(L, sprite.get());
    return pushObject(L, sprite.get());
}

int getBasicAnimation(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushSprite(L, actor->getAnimation()) : pushNil(L);
}

template <CActor::ExtraSprite Which>
int getExtraAnimation(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushSprite(L, actor->getExtraSprite(Which)) : pushNil(L);
}

int playMotion(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->playMotion(wideArg(L, 2), flagArg(L, 3), flagArg(L, 4), flagArg(L, 5));
    }
    return 0;
}

int callEvent(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->callEvent(textArg(L, 2));
    }
    return 0;
}

int doValidation(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushFlag(L, actor->doValidation(textArg(L, 2), {})) : pushNil(L);
}

int setActionEventScriptFileName(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->setActionEventScriptFileName(wideArg(L, 2));
    }
    return 0;
}

int getActionEventScriptFileName(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    pushText(L, actor->getActionEventScriptFileName());
    return 1;
}

// The partner's action-event script runs, with the partner as its parameter.
int talk(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    CActor* partner = actorArg(L, 2);
    Action::IActionContext* context = module(L).getActionContext();
    if (actor != nullptr && partner != nullptr && context != nullptr) {
        partner->talk(*context);
    }
    return 0;
}

int getCellPoint(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    const Dungeon::CMapCell* cell = actor != nullptr ? actor->getCell() : nullptr;
    if (cell == nullptr) {
        return pushNil(L);
    }
    lua_pushinteger(L, cell->x);
    lua_pushinteger(L, cell->y);
    return 2;
}

int getRoom(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    const Dungeon::CMapCell* cell = actor != nullptr ? actor->getCell() : nullptr;
    return pushObject(L, cell != nullptr ? cell->room : nullptr);
}

int endTurn(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->setTurnState(0);
    }
    return 0;
}

int setEnableScriptTask(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->setEnableScriptTask(flagArg(L, 2));
    }
    return 0;
}

// Below 30% of the maximum life (a ratio that is not a number is not). Debility, which also
// counts, is a condition, and actors have none yet.
int isPinch(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    // Debility keeps the actor in a pinch whatever its life.
    const float ratio = actor->getStatus().getLife() / actor->getStatus().getMaxLife();
    return pushFlag(L, ratio < 0.3f || actor->hasCondition(Actor::kConditionDebility));
}

int isAlive(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushFlag(L, actor->isAlive()) : pushNil(L);
}

// Actor.Status: every setter goes through the status record's clamping setter.

template <typename Value, Value (Actor::CActorStatus::*Get)() const>
int statusGetter(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    const Value value = (actor->getStatus().*Get)();
    if constexpr (std::is_same_v<Value, float>) {
        return pushNumber(L, value);
    } else {
        return pushInteger(L, value);
    }
}

template <typename Value, void (Actor::CActorStatus::*Set)(Value)>
int statusSetter(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        if constexpr (std::is_same_v<Value, float>) {
            (actor->getStatus().*Set)(floatArg(L, 2));
        } else {
            (actor->getStatus().*Set)(intArg(L, 2));
        }
    }
    return 0;
}

// The life as a whole number, truncated toward zero.
int getLife(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    return pushInteger(L, static_cast<int32_t>(std::trunc(actor->getStatus().getLife())));
}

int clearCategory(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->getStatus().clearCategory();
    }
    return 0;
}

int getCategory(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushFlag(L, actor->getStatus().getCategory(bitArg(L, 2))) : pushNil(L);
}

// A bit that names no category (14 and up) is set alone: there is no value to store.
int setCategory(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->getStatus().setCategory(bitArg(L, 2), flagArg(L, 3));
    }
    return 0;
}

int getStabilityState(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushFlag(L, actor->getStatus().getStabilityState(bitArg(L, 2))) : pushNil(L);
}

int setStabilityState(lua_State* L) {
    if (CActor* actor = actorArg(L, 1)) {
        actor->getStatus().setStabilityState(bitArg(L, 2), flagArg(L, 3));
    }
    return 0;
}

// Actor.Condition. The type number comes from the script unchecked; the actor's set answers
// false, and changes nothing, for a number that names no condition.

int getConditionName(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    const char16_t* name =
        actor != nullptr && actor->getConditions() != nullptr ? actor->getConditions()->getConditionName() : nullptr;
    if (name == nullptr) {
        return pushNil(L);
    }
    pushText(L, name);
    return 1;
}

template <bool (IActorConditions::*Operation)(int32_t)>
int changeCondition(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    if (actor == nullptr) {
        return pushNil(L);
    }
    IActorConditions* conditions = actor->getConditions();
    return pushFlag(L, conditions != nullptr && (conditions->*Operation)(intArg(L, 2)));
}

int isCondition(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    return actor != nullptr ? pushFlag(L, actor->hasCondition(intArg(L, 2))) : pushNil(L);
}

// Actor.Event

int addTurnEventScript(lua_State* L) {
    CActor* actor = actorArg(L, 1);
    if (actor == nullptr || actor->getScript() == nullptr) {
        return 0;
    }
    const std::string script = textArg(L, 2);
    const int32_t turns = intArg(L, 3);
    std::vector<Orvex::Script::CScriptValue> results;
    actor->getScript()->callFunctionPath(
        results, {"Actor", "Event", "addTurnEvent"}, 0,
        {Orvex::Script::CScriptValue(script), Orvex::Script::CScriptValue::fromInteger(turns)});
    return 0;
}

}  // namespace

}  // namespace ActorCommand

Dungeon::CDungeon* CActorCommand::getFloor() const {
    return actions_ != nullptr ? actions_->getCurrentDungeon() : context_.getCurrentDungeon();
}

bool CActorCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    using namespace ActorCommand;
    using Actor::CActorStatus;
    registerScriptTable(L, {"Actor",
                            {
                                {"getActorType", &getActorType},
                                {"getActorID", &getActorID},
                                {"setActorID", &setActorID},
                                {"getDrawPosition", &getDrawPosition},
                                {"getActorDrawPosition", &getActorDrawPosition},
                                {"setName", &setName},
                                {"getName", &getName},
                                {"setDrawOffset", &setDrawOffset},
                                {"getDrawOffset", &getDrawOffset},
                                {"getOriginParam", &getOriginParam},
                                {"getActorDirectory", &getActorDirectory},
                                {"getDisplayActorDirectory", &getDisplayActorDirectory},
                                {"getBasicAnimation", &getBasicAnimation},
                                {"getConditionAnimation", &getExtraAnimation<Actor::CActor::kEffectSprite>},
                                {"getWeaponAnimation", &getExtraAnimation<Actor::CActor::kWeaponSprite>},
                                {"getShieldAnimation", &getExtraAnimation<Actor::CActor::kShieldSprite>},
                                {"playMotion", &playMotion},
                                {"callEvent", &callEvent},
                                {"doValidation", &doValidation},
                                {"setActionEventScriptFileName", &setActionEventScriptFileName},
                                {"getActionEventScriptFileName", &getActionEventScriptFileName},
                                {"talk", &talk},
                                {"getCellPoint", &getCellPoint},
                                {"getRoom", &getRoom},
                                {"endTurn", &endTurn},
                                {"setEnableScriptTask", &setEnableScriptTask},
                                {"isPinch", &isPinch},
                                {"isAlive", &isAlive},
                            },
                            {
                                {"Status",
                                 {
                                     {"setDirection", &statusSetter<int32_t, &CActorStatus::setDirection>},
                                     {"getDirection", &statusGetter<int32_t, &CActorStatus::getDirection>},
                                     {"setTurnCount", &statusSetter<int32_t, &CActorStatus::setTurnCount>},
                                     {"getTurnCount", &statusGetter<int32_t, &CActorStatus::getTurnCount>},
                                     {"setLevel", &statusSetter<int32_t, &CActorStatus::setLevel>},
                                     {"getLevel", &statusGetter<int32_t, &CActorStatus::getLevel>},
                                     {"setMaxLife", &statusSetter<float, &CActorStatus::setMaxLife>},
                                     {"getMaxLife", &statusGetter<float, &CActorStatus::getMaxLife>},
                                     {"setLife", &statusSetter<float, &CActorStatus::setLife>},
                                     {"getLife", &getLife},
                                     {"setMaxHungerPoint", &statusSetter<float, &CActorStatus::setMaxHungerPoint>},
                                     {"getMaxHungerPoint", &statusGetter<float, &CActorStatus::getMaxHungerPoint>},
                                     {"setHungerPoint", &statusSetter<float, &CActorStatus::setHungerPoint>},
                                     {"getHungerPoint", &statusGetter<float, &CActorStatus::getHungerPoint>},
                                     {"setMaxForce", &statusSetter<int32_t, &CActorStatus::setMaxForce>},
                                     {"getMaxForce", &statusGetter<int32_t, &CActorStatus::getMaxForce>},
                                     {"setForce", &statusSetter<int32_t, &CActorStatus::setForce>},
                                     {"getForce", &statusGetter<int32_t, &CActorStatus::getForce>},
                                     {"setAttack", &statusSetter<float, &CActorStatus::setAttack>},
                                     {"getAttack", &statusGetter<float, &CActorStatus::getAttack>},
                                     {"setDefense", &statusSetter<float, &CActorStatus::setDefense>},
                                     {"getDefense", &statusGetter<float, &CActorStatus::getDefense>},
                                     {"setPower", &statusSetter<float, &CActorStatus::setPower>},
                                     {"getPower", &statusGetter<float, &CActorStatus::getPower>},
                                     {"setEXP", &statusSetter<int32_t, &CActorStatus::setEXP>},
                                     {"getEXP", &statusGetter<int32_t, &CActorStatus::getEXP>},
                                     {"clearCategory", &clearCategory},
                                     {"getCategory", &getCategory},
                                     {"setCategory", &setCategory},
                                     {"getStabilityState", &getStabilityState},
                                     {"setStabilityState", &setStabilityState},
                                 },
                                 {}},
                                {"Condition",
                                 {
                                     {"getName", &getConditionName},
                                     {"isCondition", &isCondition},
                                     {"addCondition", &changeCondition<&IActorConditions::addCondition>},
                                     {"removeCondition", &changeCondition<&IActorConditions::removeCondition>},
                                 },
                                 {}},
                                {"Action",
                                 {
                                     {"pushAction", &pushAction},
                                     {"doActionScript", &pushAction},
                                     {"doMove", &doMove},
                                     {"doItem", &doItem},
                                     {"doPutItem", &doPutItem},
                                     {"doThrowItem", &doThrowItem},
                                     {"doPushItem", &doPushItem},
                                     {"doPopItem", &doPopItem},
                                     {"doUseItem", &doUseItem},
                                     {"doRemoveItem", &doRemoveItem},
                                     {"doTakeItem", &doTakeItem},
                                 },
                                 {}},
                                {"Item",
                                 {
                                     {"getItemCount", &getItemCount},
                                     {"getItem", &getItem},
                                     {"createItem", &createItem},
                                     {"deleteItem", &deleteItem},
                                     {"toActor", &toActor},
                                     {"attachItem", &attachItem},
                                     {"detachEquippedItem", &detachEquippedItem},
                                     {"setEquippedWeaponItem", &setEquippedWeaponItem},
                                     {"setEquippedShieldItem", &setEquippedShieldItem},
                                     {"setEquippedAmuletItem", &setEquippedAmuletItem},
                                     {"setEquippedWeaponIndex", &setEquippedWeaponIndex},
                                     {"setEquippedShieldIndex", &setEquippedShieldIndex},
                                     {"setEquippedAmuletIndex", &setEquippedAmuletIndex},
                                     {"getEquippedWeaponItem", &getEquippedWeaponItem},
                                     {"getEquippedShieldItem", &getEquippedShieldItem},
                                     {"getEquippedAmuletItem", &getEquippedAmuletItem},
                                     {"getEquippedWeaponIndex", &getEquippedWeaponIndex},
                                     {"getEquippedShieldIndex", &getEquippedShieldIndex},
                                     {"getEquippedAmuletIndex", &getEquippedAmuletIndex},
                                 },
                                 {}},
                                {"Event",
                                 {
                                     {"addTurnEventScript", &addTurnEventScript},
                                 },
                                 {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
