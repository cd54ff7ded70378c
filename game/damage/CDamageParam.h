#pragma once
// What one damage calculation is asked to do: its kind, where it comes from, and the one value
// of its kind. Scripts fill it through the DamageCalculate module, then run the calculator.
#include <cstdint>
#include <string>

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Damage {

class CDamageParam {
public:
    enum Kind : int32_t {
        kNone = 0,
        kBlow = 1,
        kExplosion = 2,
        kActorStatus = 3,
        kFixed = 4,
        kCondition = 5,
        kDanmaku = 6,
        kItemStatus = 7,
    };
    enum SourceType : int32_t { kSourceNone = 0, kSourceActor = 1, kSourceItem = 2 };

    // Changes of an actor's numbers; the first non-zero one counts.
    struct ActorStatus {
        int32_t level = 0;
        float maxLife = 0.0f;
        float life = 0.0f;
        float maxHungerPoint = 0.0f;
        float hungerPoint = 0.0f;
        int32_t maxForce = 0;
        int32_t force = 0;
    };
    // Changes of an item's numbers and flags; the first non-zero one counts.
    struct ItemStatus {
        Item::CItem* item = nullptr;
        int32_t attack = 0;
        int32_t defense = 0;
        int32_t slotCount = 0;
        int32_t curse = 0;
        int32_t blessed = 0;
        int32_t frozen = 0;
        int32_t unidentified = 0;
    };

    // Every value back to its start; the final multiplier 1.
    void clear() { *this = CDamageParam(); }

    int32_t kind = kNone;
    int32_t sourceType = kSourceNone;
    std::u16string damageName;
    Actor::CActor* originActor = nullptr;
    Item::CItem* originItem = nullptr;
    ActorStatus actorStatus;
    float fixedValue = 0.0f;
    bool fixedKill = false;
    int32_t conditionType = 0;
    int32_t danmaku[2] = {0, 0};
    ItemStatus itemStatus;
    float finalMultiplier = 1.0f;
};

}  // namespace Fenwarrow::Damage
