#include "game/condition/CDebilityCondition.h"

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"
#include "game/damage/CDamageCalculator.h"
#include "game/dungeon/CDungeon.h"

namespace Fenwarrow::Actor::Condition {

namespace {

using Damage::CDamageCalculator;
using Damage::CDamageParam;

// Below this much life an actor other than the player shakes debility off.
constexpr float kRecoveryLife = 2.0f;

// One silent status change of the actor by its own calculator.
void weaken(CActor& actor, float life, float hungerPoint) {
    CDamageCalculator& calculator = CDamageCalculator::of(actor);
    CDamageParam& param = calculator.getParam();
    param.clear();
    param.damageName = CDebilityCondition::kDamageName;
    param.kind = CDamageParam::kActorStatus;
    param.sourceType = CDamageParam::kSourceActor;
    param.originActor = &actor;
    param.actorStatus.life = life;
    param.actorStatus.hungerPoint = hungerPoint;
    calculator.setLogMessage(false);
    calculator.execute(damageWorld(actor), false);
}

}  // namespace

void CDebilityCondition::onAttach() { counter_ = 20; }

void CDebilityCondition::onDetach() { counter_ = 0; }

void CDebilityCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    CActor& actor = getActor();
    if (isPlayer()) {
        --counter_;
    } else if (actor.getStatus().getLife() < kRecoveryLife) {
        counter_ = 0;
    }
    if (counter_ <= 0) {
        onDetach();
        return;
    }
    weaken(actor, -1.0f, 0.0f);
    weaken(actor, 0.0f, -1.0f);
    if (isPlayer() && !actor.isAlive()) {
        Dungeon::CDungeon* floor = getDungeon();
        if (floor != nullptr && floor->getActionManager() != nullptr) {
            floor->getServices().pushScriptedAction(*floor->getActionManager(), kDeadScript, &actor);
        }
    }
}

void CDebilityCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
