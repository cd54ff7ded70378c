#include "game/condition/CBerserkCondition.h"

#include <vector>

#include "game/actor/CActor.h"
#include "game/actor/IActorConditions.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::Actor::Condition {

namespace {

using Orvex::Script::CScriptValue;

void callOwnHook(CActor& actor, const char* hook) {
    if (actor.getScript() != nullptr) {
        std::vector<CScriptValue> results;
        actor.getScript()->callFunctionPath(results, {"Actor", hook}, 0, {});
    }
}

}  // namespace

void CBerserkCondition::onAttach() {
    if (isStable()) {
        return;
    }
    counter_ = 20;
    if (isPlayer()) {
        setMayAct(false);
    }
}

void CBerserkCondition::onDetach() {
    counter_ = 0;
    setMayAct(true);
}

void CBerserkCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (isPlayer()) {
        --counter_;
    }
    if (counter_ <= 0) {
        onDetach();
        return;
    }
    if (!isPlayer()) {
        return;
    }
    // The player's own turn is taken away; a player held down otherwise plays no turn at all.
    setMayAct(false);
    const IActorConditions* conditions = getConditionController();
    if (conditions != nullptr &&
        (conditions->isCondition(kConditionFreeze) || conditions->isCondition(kConditionSleep) ||
         conditions->isCondition(kConditionHibernation))) {
        return;
    }
    playMachineTurn();
}

void CBerserkCondition::playMachineTurn() {
    CActor& player = getActor();
    callOwnHook(player, "onEnterTurn");
    CScriptController machine(getContext());
    if (!machine.loadScript(kMachineScript, kMachineMemory) ||
        !attachScriptModules(
            machine, getContext(),
            {ScriptModule::kMossbellLib, ScriptModule::kActor, ScriptModule::kMap, ScriptModule::kDungeon,
             ScriptModule::kGame, ScriptModule::kItem, ScriptModule::kDamageCalculate})) {
        machine.close();
        return;
    }
    machine.runMain();
    ScriptArguments::lendObject(machine.getLuaState(), static_cast<void*>(&player));
    std::vector<CScriptValue> results;
    machine.callFunctionPath(results, {"AI", "Machine", "execution"}, 0,
                             {CScriptValue(), CScriptValue(static_cast<void*>(&player))});
    machine.close();
    callOwnHook(player, "onExitTurn");
}

void CBerserkCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
