#include "game/condition/CFreezeCondition.h"

#include "engine/animation/OxMADObject.h"
#include "game/actor/CActor.h"

namespace Fenwarrow::Actor::Condition {

using Orvex::MossbellLib::OxMADObject;

void CFreezeCondition::onAttach() {
    if (isStable()) {
        return;
    }
    getConditionController()->removeCondition(kConditionDozing);
    counter_ = kDuration;
    getActor().getAnimation()->pause();
    getActor().setMotionLock(1);
    for (OxMADObject* sprite : getEquippedSprites()) {
        if (sprite->getState() != OxMADObject::kStopped) {
            sprite->pause();
        }
    }
    setMayAct(false);
}

void CFreezeCondition::onDetach() {
    getActor().getAnimation()->play();
    getActor().setMotionLock(0);
    for (OxMADObject* sprite : getEquippedSprites()) {
        sprite->play();
    }
    counter_ = 0;
    setMayAct(true);
}

void CFreezeCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (isPlayer()) {
        --counter_;
    }
    if (counter_ <= 0) {
        counter_ = 0;
        setMayAct(true);
        onDetach();
    } else {
        setMayAct(false);
    }
}

void CFreezeCondition::onDamage() {
    // A blow that itself paralyses does not break the paralysis.
    if (isActive() && !isDamageOfCondition(kConditionFreeze)) {
        onDetach();
    }
}

void CFreezeCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
