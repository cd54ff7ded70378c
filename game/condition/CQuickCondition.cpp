#include "game/condition/CQuickCondition.h"

#include <string>

#include "game/actor/CActor.h"

namespace Fenwarrow::Actor::Condition {

void applyWalkSpeed(CActor& actor, float factor) {
    const std::string direction = std::to_string(actor.getStatus().getDirection());
    std::u16string walk = u"Walk_";
    walk.append(direction.begin(), direction.end());
    actor.setAnimationSpeed(actor.getAnimation()->isPlayingFromPlayRangeName(walk) ? factor : 1.0f);
}

bool CQuickCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool counted = CCountingCondition::serialize(serializer);
    return serializeValue(serializer, toggle_) && counted;
}

void CQuickCondition::onAttach() {
    getConditionController()->removeCondition(kConditionSlow);
    counter_ = kDuration;
    toggle_ = true;
}

void CQuickCondition::onDetach() {
    counter_ = 0;
    toggle_ = false;
    getActor().setAnimationSpeed(1.0f);
}

void CQuickCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (isPlayer()) {
        --counter_;
    }
    if (counter_ <= 0) {
        onDetach();
    } else if (toggle_) {
        // The turn controller gives the actor the second action before handing the turn on.
        getActor().setActionsLeft(kActions);
    }
    toggle_ = !toggle_;
}

void CQuickCondition::update(float /*elapsedSeconds*/) {
    if (isActive()) {
        applyWalkSpeed(getActor(), kWalkSpeed);
    }
}

void CQuickCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
