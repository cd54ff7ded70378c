#pragma once
// An actor steps onto an item: it may burn, be used at once, be picked up, or only be stood on
// (a full pack, or the player holding the cancel key).
#include <cstdint>

#include "game/action/CAction.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class IActionContext;

class CTakeItemAction : public CAction {
public:
    static constexpr int32_t kMaxCarriedItems = 20;
    // The equipment ability that may burn an item stepped on, and its chance in percent.
    static constexpr uint32_t kBurnoutAbility = 19;
    static constexpr int32_t kBurnoutChance = 20;
    // The actor's stability bit that makes every item too heavy to lift.
    static constexpr uint32_t kCannotLiftBit = 6;
    static constexpr int32_t kVirtualKeyCancel = 6;
    static constexpr int32_t kPickUpSound = 3;
    static constexpr const char16_t* kBurnoutScript = u"Script/Lib/Game/Action/Action/BurnoutItemAction.lua";

    CTakeItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item)
        : context_(context), actor_(actor), item_(item) {}

    bool isExclusive() const override { return true; }
    // Does everything at once and finishes.
    void start() override;
    void update() override {}

    // Moves a floor item into the player's items with the pick-up sound; false, with a log line,
    // when the actor cannot lift anything.
    static bool tryTakeItem(IActionContext& context, Actor::CActor* actor, Item::CItem* item);
    // Whether the player's equipped weapon, shield or amulet carries the slot ability.
    static bool checkEquippedItemAbility(const Actor::CActor* actor, uint32_t ability);

private:
    void logSteppedOn();

    IActionContext& context_;
    Actor::CActor* actor_;
    Item::CItem* item_;
};

}  // namespace Fenwarrow::Action
