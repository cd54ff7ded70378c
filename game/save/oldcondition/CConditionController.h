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
    // The record is always this long: the flag byte and the 18 conditions' records (2 + 5 + 5 +
    // 6 + 6 + 5 + 5 + 5 + 1 + 14 + 5 + 4 + 2 + 5 + 9 + 5 + 5 + 5 = 94 bytes).
    static constexpr uint32_t kRecordBytes = 95;

    explicit CConditionController(CActor* actor);
    ~CConditionController() override = default;

    // The controller's may-act flag byte, then every condition's record in id order.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    CConditionBase& getCondition(std::size_t type) { return *conditions_.at(type); }

private:
    std::array<std::shared_ptr<CConditionBase>, kConditionCount> conditions_;
    bool mayAct_ = false;
};

}  // namespace Fenwarrow::Actor::OldCondition
