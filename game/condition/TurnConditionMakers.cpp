#include "game/condition/CDefaultCondition.h"
#include "game/condition/CDozingCondition.h"
#include "game/condition/CFreezeCondition.h"
#include "game/condition/CHibernationCondition.h"
#include "game/condition/CQuickCondition.h"
#include "game/condition/CShelteredCondition.h"
#include "game/condition/CSleepCondition.h"
#include "game/condition/CSlowCondition.h"
#include "game/condition/CStarvationCondition.h"
#include "game/condition/ConditionMakers.h"

namespace Fenwarrow::Actor::Condition {

std::shared_ptr<CConditionBase> makeTurnCondition(int32_t type, CActor& actor) {
    switch (type) {
        case kConditionDefault:
            return std::make_shared<CDefaultCondition>(actor);
        case kConditionQuick:
            return std::make_shared<CQuickCondition>(actor);
        case kConditionSlow:
            return std::make_shared<CSlowCondition>(actor);
        case kConditionSleep:
            return std::make_shared<CSleepCondition>(actor);
        case kConditionStarvation:
            return std::make_shared<CStarvationCondition>(actor);
        case kConditionFreeze:
            return std::make_shared<CFreezeCondition>(actor);
        case kConditionDozing:
            return std::make_shared<CDozingCondition>(actor);
        case kConditionSheltered:
            return std::make_shared<CShelteredCondition>(actor);
        case kConditionHibernation:
            return std::make_shared<CHibernationCondition>(actor);
        default:
            return nullptr;
    }
}

}  // namespace Fenwarrow::Actor::Condition
