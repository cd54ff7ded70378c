#pragma once
// The set of status conditions of one actor: one object of every type, made with the actor and
// kept for its life. It hands the actor's turns, frames and floor events to every condition in
// type order, decides at each turn entry whether the actor may act, and saves the set.
#include <array>
#include <cstdint>
#include <memory>

#include "game/actor/ConditionType.h"
#include "game/actor/IActorConditions.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CConditionController : public IActorConditions {
public:
    // The actor must outlive the set; only its CActor part is touched here.
    explicit CConditionController(CActor& actor);
    ~CConditionController() override;
    CConditionController(const CConditionController&) = delete;
    CConditionController& operator=(const CConditionController&) = delete;

    void update(float elapsedSeconds) override;
    void draw(Orvex::Graphics::OxRenderQueue& queue, Orvex::Graphics::IOrvexRenderer* renderer) override;
    // The actor may act unless some condition, on or off, holds its may-act flag down.
    void onEnterTurn() override;
    void onExitTurn() override;
    bool getMayAct() const override { return mayAct_; }

    void onArrival() override;
    void onRoomOut() override;
    void onRoomIn() override;
    void onDamage() override;
    void onDead() override;
    void onChangeFloor() override;

    bool isCondition(int32_t type) const override;
    bool addCondition(int32_t type) override;
    bool removeCondition(int32_t type) override;
    const char16_t* getConditionName() const override;
    const std::u16string* getDisguisedName() const override;

    // The may-act byte, then every condition's record in type order; the layout is part of
    // the save files. False when a read ran out of bytes.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    // The condition object of that type; null for a number that names none.
    CConditionBase* getCondition(int32_t type) const;

private:
    void createConditions();
    template <typename Hook>
    void forEach(Hook hook);

    CActor& actor_;
    std::array<std::shared_ptr<CConditionBase>, kConditionTypeCount> conditions_;
    bool mayAct_ = false;
};

}  // namespace Fenwarrow::Actor::Condition
