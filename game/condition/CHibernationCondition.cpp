#include "game/condition/CHibernationCondition.h"

#include "game/actor/CActor.h"
#include "game/damage/CDamageCalculator.h"

namespace Fenwarrow::Actor::Condition {

void CHibernationCondition::onAttach() {
    if (isActive()) {
        return;
    }
    getConditionController()->removeCondition(kConditionDozing);
    counter_ = kDuration;
    setMayAct(false);
    lieDown();
}

void CHibernationCondition::onDetach() {
    counter_ = 0;
    setMayAct(true);
    getUp();
}

void CHibernationCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (--counter_ <= 0) {
        onDetach();
        return;
    }
    const CActorStatus& status = getActor().getStatus();
    if (status.getLife() < status.getMaxLife()) {
        heal();
    } else {
        onDetach();
    }
}

void CHibernationCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

void CHibernationCondition::heal() {
    CActor& actor = getActor();
    Damage::CDamageCalculator& calculator = Damage::CDamageCalculator::of(actor);
    Damage::CDamageParam& param = calculator.getParam();
    param.clear();
    param.kind = Damage::CDamageParam::kActorStatus;
    param.sourceType = Damage::CDamageParam::kSourceActor;
    param.originActor = &actor;
    param.actorStatus.life = kHeal;
    param.damageName = kHealName;
    calculator.setLogMessage(true);
    calculator.execute(Damage::CDamageWorld{getContext(), getDungeon(), {}}, false);
}

}  // namespace Fenwarrow::Actor::Condition
