#pragma once
// Sheltered (type 13): the actor hides in a hollow for 20 turns (the player) or 50 (others),
// shown by a sprite of its own over the frozen body; any hurt other than a blow that itself
// shelters ends it.
#include "engine/animation/OxMADObject.h"
#include "game/condition/CConditionBase.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {
class IOrvexTexture;
}

namespace Fenwarrow::Actor::Condition {

class CShelteredCondition : public CCountingCondition {
public:
    static constexpr int32_t kPlayerDuration = 20;
    static constexpr int32_t kOtherDuration = 50;
    static constexpr const char16_t* kHollowPath = u"Item/Hollow/Hollow.tga";

    using CCountingCondition::CCountingCondition;
    ~CShelteredCondition() override;

    // A loaded shelter that is on builds its sprite again.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return kConditionSheltered; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onDamage() override;
    void onChangeFloor() override;
    void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) override;

    const std::shared_ptr<Orvex::MossbellLib::OxMADObject>& getShelterSprite() const { return sprite_; }

private:
    void buildShelter();
    void releaseShelter();

    std::shared_ptr<Orvex::MossbellLib::OxMADObject> sprite_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture_;
};

}  // namespace Fenwarrow::Actor::Condition
