#include "game/actor/ConditionType.h"
#include "game/condition/CBerserkCondition.h"
#include "game/condition/CBlindCondition.h"
#include "game/condition/CConfusionCondition.h"
#include "game/condition/CDebilityCondition.h"
#include "game/condition/CDrunkenCondition.h"
#include "game/condition/CFlaccidCondition.h"
#include "game/condition/CInvincibleCondition.h"
#include "game/condition/CKotatsuCondition.h"
#include "game/condition/CMobblyCondition.h"
#include "game/condition/CScapegoatCondition.h"
#include "game/condition/CStealthCondition.h"
#include "game/condition/CStrongCondition.h"
#include "game/condition/CTripCondition.h"
#include "game/condition/CUnhingedCondition.h"
#include "game/condition/ConditionMakers.h"

namespace Fenwarrow::Actor::Condition {

std::shared_ptr<CConditionBase> makeStateCondition(int32_t type, CActor& actor) {
    switch (type) {
        case kConditionConfusion:
            return std::make_shared<CConfusionCondition>(actor);
        case kConditionDrunken:
            return std::make_shared<CDrunkenCondition>(actor);
        case kConditionBlind:
            return std::make_shared<CBlindCondition>(actor);
        case kConditionTrip:
            return std::make_shared<CTripCondition>(actor);
        case kConditionKotatsu:
            return std::make_shared<CKotatsuCondition>(actor);
        case kConditionStealth:
            return std::make_shared<CStealthCondition>(actor);
        case kConditionStrong:
            return std::make_shared<CStrongCondition>(actor);
        case kConditionInvincible:
            return std::make_shared<CInvincibleCondition>(actor);
        case kConditionBerserk:
            return std::make_shared<CBerserkCondition>(actor);
        case kConditionScapegoat:
            return std::make_shared<CScapegoatCondition>(actor);
        case kConditionDebility:
            return std::make_shared<CDebilityCondition>(actor);
        case kConditionFlaccid:
            return std::make_shared<CFlaccidCondition>(actor);
        case kConditionMobbly:
            return std::make_shared<CMobblyCondition>(actor);
        case kConditionUnhinged:
            return std::make_shared<CUnhingedCondition>(actor);
        default:
            return nullptr;
    }
}

}  // namespace Fenwarrow::Actor::Condition
