#include "game/scriptcommand/KnownActors.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/damage/CDamageCalculator.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/IDungeonServices.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using Actor::CActor;
using Damage::CDamageCalculator;
using Damage::CDamageParam;
using Item::CItem;

CDamageCalculateCommand& module(lua_State* L) {
    CDamageCalculateCommand* found = CDamageCalculateCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "DamageCalculate: no module object is attached to this state");
    }
    return *found;
}

const Orvex::System::shared_vector_ptr<CActor>* participantsOf(Dungeon::CDungeon* floor) {
    return floor != nullptr ? &floor->getTurnController().getParticipants() : nullptr;
}

// An actor argument: the game's player, an actor of the floor in play, or a live actor lent to
// the calling state (an actor's own scripts while it is set up); anything else reads as no actor.
CActor* actorArg(lua_State* L, CDamageCalculateCommand& self, int index) {
    CGameDataManager* data = self.getContext().getGameDataManager();
    return findKnownActor(L, lua_touserdata(L, index), data != nullptr ? data->getPlayer().get() : nullptr,
                          self.getFloor());
}

CDamageCalculator* calculatorArg(lua_State* L, int index) {
    CActor* actor = actorArg(L, module(L), index);
    return actor != nullptr ? &CDamageCalculator::of(*actor) : nullptr;
}

// A category-value array: the module's own, an item's category weights or an actor's category
// values; null for anything else.
float* originParamArg(lua_State* L, int index) {
    const void* given = lua_touserdata(L, index);
    if (given == nullptr) {
        return nullptr;
    }
    CDamageCalculateCommand& self = module(L);
    if (self.getOriginParam().data() == given) {
        return self.getOriginParam().data();
    }
    if (CItem* item = CItem::findByCategoryWeights(given)) {
        return item->getCategoryWeights().data();
    }
    auto actorValues = [given](CActor* actor) -> float* {
        return actor != nullptr && actor->getStatus().getCategoryValues().data() == given
                   ? actor->getStatus().getCategoryValues().data()
                   : nullptr;
    };
    if (CGameDataManager* data = self.getContext().getGameDataManager()) {
        if (float* values = actorValues(data->getPlayer().get())) {
            return values;
        }
    }
    if (const auto* participants = participantsOf(self.getFloor())) {
        for (const auto& actor : *participants) {
            if (float* values = actorValues(actor.get())) {
                return values;
            }
        }
    }
    return nullptr;
}

// A category number, or -1 when it names none of the fourteen.
int32_t categoryArg(lua_State* L, int index) {
    const lua_Number value = lua_tonumber(L, index);
    return value >= 0 && value < CDamageCalculateCommand::kCategoryCount ? static_cast<int32_t>(value) : -1;
}

using ScriptArguments::intArg;

int32_t intField(lua_State* L, int table, const char* name) {
    lua_getfield(L, table, name);
    const int32_t value = intArg(L, -1);
    lua_pop(L, 1);
    return value;
}

float numberField(lua_State* L, int table, const char* name) {
    lua_getfield(L, table, name);
    const auto value = static_cast<float>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return value;
}

void pushObjectField(lua_State* L, const char* name, void* object) {
    if (object != nullptr) {
        lua_pushlightuserdata(L, object);
    } else {
        lua_pushnil(L);
    }
    lua_setfield(L, -2, name);
}

int execute(lua_State* L) {
    CDamageCalculateCommand& self = module(L);
    CActor* target = actorArg(L, self, 1);
    if (target == nullptr) {
        return 0;
    }
    CDamageCalculator& calculator = CDamageCalculator::of(*target);
    CDamageParam& param = calculator.getParam();
    const auto sourceType = static_cast<int32_t>(lua_tointeger(L, 2));
    param.sourceType = sourceType;
    if (sourceType == CDamageParam::kSourceActor) {
        param.originActor = actorArg(L, self, 3);
    } else if (sourceType == CDamageParam::kSourceItem) {
        param.originItem = CItem::findLiveItem(lua_touserdata(L, 3));
        Dungeon::CDungeon* floor = self.getFloor();
        CActor* player = floor != nullptr ? floor->getPlayer().get() : nullptr;
        if (param.originItem != nullptr && player != nullptr && player->findItem(param.originItem) >= 0) {
            param.originActor = player;
        }
    }
    param.damageName = lua_gettop(L) >= 4 ? ScriptArguments::wideArg(L, 4) : std::u16string();
    const bool forceHit = lua_toboolean(L, 5) != 0;
    lua_settop(L, 0);
    calculator.execute({self.getContext(), self.getFloor(), [&self](CActor& hurt) { self.queueOnDamage(hurt); }},
                       forceHit);
    return 0;
}

int getModuleOriginParam(lua_State* L) {
    lua_pushlightuserdata(L, module(L).getOriginParam().data());
    return 1;
}

int clearDamageResult(lua_State* L) {
    if (CDamageCalculator* calculator = calculatorArg(L, 1)) {
        calculator->clearResult();
    }
    return 0;
}

int getDamageResult(lua_State* L) {
    CDamageCalculator* calculator = calculatorArg(L, 1);
    const CDamageCalculator::Result result =
        calculator != nullptr ? calculator->getResult() : CDamageCalculator::Result();
    std::string name;
    Orvex::System::toMultiByteString(result.damageName, name);
    lua_newtable(L);
    lua_pushboolean(L, result.isHit);
    lua_setfield(L, -2, "isHit");
    lua_pushboolean(L, result.isCritical);
    lua_setfield(L, -2, "isCritical");
    lua_pushnumber(L, result.damage);
    lua_setfield(L, -2, "fDamage");
    lua_pushinteger(L, static_cast<lua_Integer>(std::trunc(result.damage)));
    lua_setfield(L, -2, "iDamage");
    lua_newtable(L);
    lua_pushinteger(L, result.damageId);
    lua_setfield(L, -2, "damageID");
    lua_pushinteger(L, result.sourceType);
    lua_setfield(L, -2, "sourceType");
    lua_pushlstring(L, name.data(), name.size());
    lua_setfield(L, -2, "strDamageName");
    pushObjectField(L, "pOriginActor", result.originActor);
    pushObjectField(L, "pOriginItem", result.originItem);
    lua_setfield(L, -2, "damageSource");
    return 1;
}

// The record reset to one kind; null when the actor is none.
CDamageParam* resetParam(lua_State* L, int32_t kind) {
    CDamageCalculator* calculator = calculatorArg(L, 1);
    if (calculator == nullptr) {
        return nullptr;
    }
    calculator->getParam().clear();
    calculator->getParam().kind = kind;
    return &calculator->getParam();
}

int setBlowDamageParam(lua_State* L) {
    resetParam(L, CDamageParam::kBlow);
    return 0;
}

int setExplosionDamageParam(lua_State* L) {
    resetParam(L, CDamageParam::kExplosion);
    return 0;
}

int setActorStatusDamageParam(lua_State* L) {
    CDamageParam* param = resetParam(L, CDamageParam::kActorStatus);
    if (param == nullptr || !lua_istable(L, 2)) {
        return 0;
    }
    lua_getfield(L, 2, "key");
    const std::string key = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    CDamageParam::ActorStatus& status = param->actorStatus;
    if (key == "level") {
        status.level = intField(L, 2, "value");
    } else if (key == "maxLife") {
        status.maxLife = numberField(L, 2, "value");
    } else if (key == "life") {
        status.life = numberField(L, 2, "value");
    } else if (key == "maxHungerPoint") {
        status.maxHungerPoint = numberField(L, 2, "value");
    } else if (key == "hungerPoint") {
        status.hungerPoint = numberField(L, 2, "value");
    } else if (key == "maxForce") {
        status.maxForce = intField(L, 2, "value");
    } else if (key == "force") {
        status.force = intField(L, 2, "value");
    }
    return 0;
}

// The kill flag counts only when it is the last of exactly three arguments.
int setFixedDamageParam(lua_State* L) {
    const bool kill = lua_gettop(L) == 3 && lua_toboolean(L, 3) != 0;
    if (CDamageParam* param = resetParam(L, CDamageParam::kFixed)) {
        param->fixedValue = static_cast<float>(lua_tonumber(L, 2));
        param->fixedKill = kill;
    }
    return 0;
}

int setConditionDamageParam(lua_State* L) {
    if (CDamageParam* param = resetParam(L, CDamageParam::kCondition)) {
        param->conditionType = intArg(L, 2);
    }
    return 0;
}

int setDanmakuDamageParam(lua_State* L) {
    if (CDamageParam* param = resetParam(L, CDamageParam::kDanmaku)) {
        param->danmaku[0] = intArg(L, 2);
        param->danmaku[1] = intArg(L, 3);
    }
    return 0;
}

int setItemStatusDamageParam(lua_State* L) {
    CDamageParam* param = resetParam(L, CDamageParam::kItemStatus);
    if (param == nullptr || !lua_istable(L, 2)) {
        return 0;
    }
    lua_getfield(L, 2, "item");
    if (CItem* item = CItem::findLiveItem(lua_touserdata(L, -1))) {
        param->itemStatus.item = item;
    }
    lua_pop(L, 1);
    lua_getfield(L, 2, "key");
    const std::string key = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    CDamageParam::ItemStatus& status = param->itemStatus;
    const int32_t value = intField(L, 2, "value");
    if (key == "attack") {
        status.attack = value;
    } else if (key == "defense") {
        status.defense = value;
    } else if (key == "slotCount") {
        status.slotCount = value;
    } else if (key == "curse") {
        status.curse = value;
    } else if (key == "blessed") {
        status.blessed = value;
    } else if (key == "frozen") {
        status.frozen = value;
    } else if (key == "unidentified") {
        status.unidentified = value;
    }
    return 0;
}

int setFinalDamageParam(lua_State* L) {
    if (CDamageCalculator* calculator = calculatorArg(L, 1)) {
        calculator->getParam().finalMultiplier = static_cast<float>(lua_tonumber(L, 2));
    }
    return 0;
}

int checkItemAbility(lua_State* L) {
    CDamageCalculateCommand& self = module(L);
    const CActor* actor = actorArg(L, self, 1);
    const auto ability = static_cast<uint32_t>(intArg(L, 2));
    lua_pushboolean(
        L, CDamageCalculator::checkEquippedItemAbility(actor, ability, self.getContext().getGameDataManager()));
    return 1;
}

int setLogMessage(lua_State* L) {
    if (CDamageCalculator* calculator = calculatorArg(L, 1)) {
        calculator->setLogMessage(lua_toboolean(L, 2) != 0);
    }
    return 0;
}

int clearCategory(lua_State* L) {
    if (float* values = originParamArg(L, 1)) {
        std::fill(values, values + CDamageCalculateCommand::kCategoryCount, 0.0f);
    }
    return 0;
}

int setCategory(lua_State* L) {
    float* values = originParamArg(L, 1);
    const int32_t category = categoryArg(L, 2);
    if (values != nullptr && category >= 0) {
        values[category] = static_cast<float>(lua_tonumber(L, 3));
    }
    return 0;
}

int isCategory(lua_State* L) {
    const float* values = originParamArg(L, 1);
    const int32_t category = categoryArg(L, 2);
    lua_pushboolean(L, values != nullptr && category >= 0 && values[category] != 0.0f);
    return 1;
}

}  // namespace

Dungeon::CDungeon* CDamageCalculateCommand::getFloor() const {
    return currentFloor_ ? currentFloor_() : context_.getCurrentDungeon();
}

void CDamageCalculateCommand::queueOnDamage(CActor& target) const {
    if (queueOnDamage_) {
        queueOnDamage_(target);
        return;
    }
    Dungeon::CDungeon* floor = getFloor();
    Dungeon::IActionManager* actions = floor != nullptr ? floor->getActionManager() : nullptr;
    if (actions != nullptr) {
        floor->getServices().pushScriptedAction(*actions, CDamageCalculator::kOnDamageScript, &target);
    }
}

bool CDamageCalculateCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"DamageCalculate",
                            {
                                {"execute", &execute},
                                {"getOriginParam", &getModuleOriginParam},
                                {"clearDamageResult", &clearDamageResult},
                                {"getDamageResult", &getDamageResult},
                                {"setBlowDamageParam", &setBlowDamageParam},
                                {"setExplosionDamageParam", &setExplosionDamageParam},
                                {"setActorStatusDamageParam", &setActorStatusDamageParam},
                                {"setFixedDamageParam", &setFixedDamageParam},
                                {"setConditionDamageParam", &setConditionDamageParam},
                                {"setDanmakuDamageParam", &setDanmakuDamageParam},
                                {"setItemStatusDamageParam", &setItemStatusDamageParam},
                                {"setFinalDamageParam", &setFinalDamageParam},
                                {"checkItemAbility", &checkItemAbility},
                            },
                            {
                                {"DamageParam", {{"setLogMessage", &setLogMessage}}, {}},
                                {"OriginParam",
                                 {},
                                 {{"ActorCategoryParam",
                                   {
                                       {"clearCategory", &clearCategory},
                                       {"setCategory", &setCategory},
                                       {"isCategory", &isCategory},
                                   },
                                   {}}}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
