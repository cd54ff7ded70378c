#include "game/condition/CStarvationCondition.h"

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"

namespace Fenwarrow::Actor::Condition {

namespace {

constexpr const char16_t* kMessages[] = {
    u"お腹がすいてきた。",
    u"お腹がペコペコだ！",
    u"もうだめ・・・。倒れそう！",
    u"何か食べないと・・・",
    u"お腹がペコペコで倒れてしまう！",
    u"お腹と背中がくっつきそう！",
};
constexpr int32_t kMessageCount = static_cast<int32_t>(std::size(kMessages));
// The first of the starving turns' messages.
constexpr int32_t kFirstStarvingMessage = 2;

// Levels 0 to 53; every higher level regains the last value.
constexpr float kRegeneration[] = {
    0.0f,  0.1f,  0.11f, 0.14f, 0.2f,  0.25f, 0.3f,  0.34f, 0.4f,  0.41f,  //
    0.43f, 0.45f, 0.47f, 0.49f, 0.5f,  0.51f, 0.55f, 0.59f, 0.61f, 0.65f,  //
    0.69f, 0.71f, 0.75f, 0.79f, 0.81f, 0.85f, 0.89f, 0.91f, 0.95f, 0.99f,  //
    1.01f, 1.05f, 1.09f, 1.11f, 1.15f, 1.19f, 1.21f, 1.25f, 1.29f, 1.31f,  //
    1.35f, 1.39f, 1.41f, 1.45f, 1.49f, 1.51f, 1.55f, 1.59f, 1.61f, 1.65f,  //
    1.69f, 1.71f, 1.75f, 1.79f,
};
constexpr float kHighLevelRegeneration = 1.8f;

}  // namespace

float CStarvationCondition::getRegeneration(int32_t level) {
    if (level <= 0) {
        return kRegeneration[0];
    }
    if (static_cast<std::size_t>(level) < std::size(kRegeneration)) {
        return kRegeneration[level];
    }
    return kHighLevelRegeneration;
}

const char16_t* CStarvationCondition::getMessage(int32_t index) {
    return index >= 0 && index < kMessageCount ? kMessages[index] : nullptr;
}

bool CStarvationCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool base = CConditionBase::serialize(serializer);
    const bool last = serializeValue(serializer, lastHunger_);
    const bool accumulator = serializeValue(serializer, accumulator_);
    const bool index = serializeValue(serializer, messageIndex_);
    return serializeValue(serializer, active_) && index && accumulator && last && base;
}

void CStarvationCondition::onAttach() {
    messageIndex_ = 0;
    active_ = true;
}

void CStarvationCondition::onDetach() { active_ = false; }

void CStarvationCondition::warn(int32_t message) {
    Dungeon::CDungeon* floor = getDungeon();
    const char16_t* text = getMessage(message);
    if (floor == nullptr || text == nullptr) {
        return;
    }
    if (const auto sound = floor->getServices().getSystemSE(kWarningSound)) {
        sound->play();
    }
    floor->getLogManager().addLogMessage(text);
}

void CStarvationCondition::onEnterTurn() {
    if (!isPlayer()) {
        return;
    }
    CActorStatus& status = getActor().getStatus();
    float hunger = status.getHungerPoint();
    float rate = status.getStabilityState(kNoHungerLossBit) ? 0.0f : 1.0f;
    if (hasEquippedAbility(kAbilityGlutton)) {
        rate += rate;
    }
    if (hasEquippedAbility(kAbilitySmallEater)) {
        rate *= 0.5f;
    }
    const Dungeon::CDungeon* floor = getDungeon();
    const bool hungerStands = floor != nullptr && floor->getFloorState().floorType == kFloorTypeNoHunger;
    if (!hungerStands) {
        accumulator_ -= rate;
        if (accumulator_ <= 0.0f) {
            accumulator_ = kAccumulatorStart;
            status.setHungerPoint(hunger - 1.0f);
            hunger = status.getHungerPoint();
        }
        if (hunger != lastHunger_) {
            if (hunger > 0.0f) {
                onDetach();
            } else {
                onAttach();
            }
        }
    }
    if (active_) {
        // A damaged save may hold a negative index; it counts as the first starving turn.
        if (messageIndex_ < 0) {
            messageIndex_ = 0;
        }
        if (messageIndex_ < kStarvingMessages) {
            warn(kFirstStarvingMessage + messageIndex_);
            ++messageIndex_;
        }
        status.setLife(status.getLife() - 1.0f);
    } else {
        if (hunger <= kStarvingHunger && lastHunger_ > kStarvingHunger) {
            warn(1);
        } else if (hunger <= kWarnHunger && lastHunger_ > kWarnHunger) {
            warn(0);
        }
        if (!getConditionController()->isCondition(kConditionDebility)) {
            float regeneration = getRegeneration(status.getLevel());
            if (hasEquippedAbility(kAbilityAging)) {
                regeneration *= 0.5f;
            }
            status.setLife(status.getLife() + regeneration);
        }
    }
    lastHunger_ = hunger;
}

}  // namespace Fenwarrow::Actor::Condition
