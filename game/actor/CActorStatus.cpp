#include "game/actor/CActorStatus.h"

#include <algorithm>
#include <cmath>

namespace Fenwarrow::Actor {

namespace {

constexpr int32_t kMaxLevel = 99;
constexpr float kLifeLimit = 999.0f;
constexpr float kHungerLimit = 200.0f;
constexpr int32_t kForceLimit = 15;
constexpr float kStrengthLimit = 999.0f;
constexpr float kPowerLimit = 299.0f;
constexpr int32_t kMaxEXP = 2760000;

// NaN compares false both ways, so it is mapped to 0 before clamping.
float clampNumber(float value, float low, float high) {
    return std::isnan(value) ? 0.0f : std::clamp(value, low, high);
}

}  // namespace

const char16_t* CActorStatus::getSpecialAbilityName(int32_t index) {
    static constexpr const char16_t* kNames[kSpecialAbilityCount] = {
        u"目薬", u"あかり", u"腹減らず", u"経験値二倍", u"状態異常無効", u"口封じ", u"拾えず", u"怨返し", u"呪詛返し",
    };
    return index >= 0 && index < kSpecialAbilityCount ? kNames[index] : nullptr;
}

void CActorStatus::setCategory(uint32_t bit, bool on) {
    setBit(categoryBits_, bit, on);
    if (bit < kCategoryCount) {
        categoryWeights_[bit] = on ? 1.0f : 0.0f;
    }
}

void CActorStatus::setTurnCount(int32_t value) { turnCount_ = std::max(value, 0); }

void CActorStatus::setLevel(int32_t value) { level_ = std::clamp(value, 1, kMaxLevel); }

void CActorStatus::setMaxLife(float value) {
    maxLife_ = std::isnan(value) ? 1.0f : std::clamp(value, 1.0f, kLifeLimit);
    setLife(life_);
}

void CActorStatus::setLife(float value) { life_ = std::min(clampNumber(value, 0.0f, kLifeLimit), maxLife_); }

void CActorStatus::setMaxHungerPoint(float value) {
    maxHunger_ = clampNumber(value, 0.0f, kHungerLimit);
    setHungerPoint(hunger_);
}

void CActorStatus::setHungerPoint(float value) {
    hunger_ = std::min(clampNumber(value, 0.0f, kHungerLimit), maxHunger_);
}

void CActorStatus::setMaxForce(int32_t value) {
    maxForce_ = std::clamp(value, 1, kForceLimit);
    force_ = std::min(std::clamp(force_, 1, kForceLimit), maxForce_);
}

void CActorStatus::setForce(int32_t value) { force_ = std::min(std::clamp(value, 1, kForceLimit), maxForce_); }

void CActorStatus::setAttack(float value) { attack_ = clampNumber(value, 0.0f, kStrengthLimit); }

void CActorStatus::setDefense(float value) { defense_ = clampNumber(value, 0.0f, kStrengthLimit); }

void CActorStatus::setPower(float value) { power_ = clampNumber(value, 0.0f, kPowerLimit); }

void CActorStatus::setEXP(int32_t value) { exp_ = std::clamp(value, 0, kMaxEXP); }

void CActorStatus::validate() {
    level_ = std::clamp(level_, 1, kMaxLevel);
    maxLife_ = std::isnan(maxLife_) ? 1.0f : std::clamp(maxLife_, 1.0f, kLifeLimit);
    life_ = clampNumber(life_, 0.0f, kLifeLimit);
    maxHunger_ = clampNumber(maxHunger_, 0.0f, kHungerLimit);
    hunger_ = clampNumber(hunger_, 0.0f, kHungerLimit);
    maxForce_ = std::clamp(maxForce_, 1, kForceLimit);
    force_ = std::clamp(force_, 1, kForceLimit);
    attack_ = clampNumber(attack_, 0.0f, kStrengthLimit);
    defense_ = clampNumber(defense_, 0.0f, kStrengthLimit);
    power_ = clampNumber(power_, 0.0f, kPowerLimit);
    exp_ = std::clamp(exp_, 0, kMaxEXP);
}

}  // namespace Fenwarrow::Actor
