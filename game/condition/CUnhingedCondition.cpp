#include "game/condition/CUnhingedCondition.h"

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"

namespace Fenwarrow::Actor::Condition {

namespace {

// The category whose weight marks an enemy of a particular kind.
constexpr uint32_t kKindCategory = 9;

}  // namespace

void CUnhingedCondition::onAttach() {
    if (!isEnemy() || getActor().getStatus().getCategoryWeight(kKindCategory) != 0.0f) {
        return;
    }
    active_ = true;
    showEffect(getActor(), u"Unhinged");
}

void CUnhingedCondition::onDetach() {
    active_ = false;
    clearEffect(getActor());
}

void CUnhingedCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

bool CUnhingedCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool base = CConditionBase::serialize(serializer);
    return serializeValue(serializer, active_) && base;
}

}  // namespace Fenwarrow::Actor::Condition
