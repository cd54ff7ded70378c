#pragma once
// Mobbly: the actor turns into the Mobbly creature for fifteen turns; when it turns back it is
// made to level up by the held level-up script, which this condition drives from then on.
#include <memory>

#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"
#include "game/dungeon/IDungeonServices.h"

namespace Fenwarrow::Actor::Condition {

class CMobblyCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionMobbly; }
    static constexpr const char16_t* kLevelUpScript = u"Script/Lib/Game/Action/Action/EnemyLevelUPAction.lua";
    static constexpr uint32_t kAttachMemory = 0x20000;

    ~CMobblyCondition() override;

    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
    void update(float elapsedSeconds) override;
    void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) override;
    // The base fields and the counter; a loaded Mobbly takes its form again.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    // The level-up script held since the last end; null before it.
    const std::shared_ptr<Dungeon::IFloorEffect>& getHeldAction() const { return heldAction_; }

private:
    void transform();
    // The player's equipment dresses the own look again through the items' attach scripts.
    void reattachEquipment();

    std::shared_ptr<Dungeon::IFloorEffect> heldAction_;
};

}  // namespace Fenwarrow::Actor::Condition
