#include "game/condition/ConditionMakers.h"

namespace Fenwarrow::Actor::Condition {

std::shared_ptr<CConditionBase> makeStateCondition(int32_t type, CActor& actor) {
    (void)actor;
    switch (type) {
        default:
            return nullptr;
    }
}

}  // namespace Fenwarrow::Actor::Condition
