#include "game/save/oldcondition/CConditionController.h"

#include "engine/serialization/OxSerializer.h"
#include "game/save/oldcondition/OldConditions.h"

namespace Fenwarrow::Actor::OldCondition {

CConditionController::CConditionController(CActor* actor)
    : conditions_{std::make_shared<CDefaultCondition>(actor), std::make_shared<CConfusionCondition>(actor),
                  std::make_shared<CDrunkenCondition>(actor), std::make_shared<CQuickCondition>(actor),
                  std::make_shared<CSlowCondition>(actor),    std::make_shared<CBlindCondition>(actor),
                  std::make_shared<CTripCondition>(actor),    std::make_shared<CSleepCondition>(actor),
                  std::make_shared<CKotatsuCondition>(actor), std::make_shared<CStarvationCondition>(actor),
                  std::make_shared<CFreezeCondition>(actor),  std::make_shared<CDozingCondition>(actor),
                  std::make_shared<CStealthCondition>(actor), std::make_shared<CShelteredCondition>(actor),
                  std::make_shared<CStrongCondition>(actor),  std::make_shared<CInvincibleCondition>(actor),
                  std::make_shared<CBerserkCondition>(actor), std::make_shared<CScapegoatCondition>(actor)} {}

bool CConditionController::serialize(Orvex::Serialization::OxSerializer& serializer) {
    if (serializer.isWriting()) {
        serializer.writeByte(mayAct_ ? 1 : 0);
    } else {
        uint8_t flag = 0;
        if (!serializer.readByte(flag)) {
            return false;
        }
        mayAct_ = flag != 0;
    }
    for (const auto& condition : conditions_) {
        if (!condition->serialize(serializer)) {
            return false;
        }
    }
    return true;
}

}  // namespace Fenwarrow::Actor::OldCondition
