#pragma once
// The earlier release's set of conditions of one actor: its may-act flag and the eighteen
// conditions in id order. Made for one record only; it is never added to the actor's listeners.
#include <array>
#include <memory>

#include "game/save/oldcondition/CConditionBase.h"

namespace Fenwarrow::Actor::OldCondition {

class CConditionController : public Orvex::Serialization::IOrvexSerializeObject {
public:
    static constexpr std::size_t kConditionCount = 18;
    // The record is always this long: 1 + the 18 conditions' records.
    static constexpr uint32_t kRecordBytes = 91;

    explicit CConditionController(CActor* actor);
    ~CConditionController() override = default;

    // The controller's may-act flag byte, then every condition's record in id order.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    const CConditionBase& getCondition(std::size_t type) const { return *conditions_[type]; }

private:
    std::array<std::shared_ptr<CConditionBase>, kConditionCount> conditions_;
    bool mayAct_ = false;
};

}  // namespace Fenwarrow::Actor::OldCondition
