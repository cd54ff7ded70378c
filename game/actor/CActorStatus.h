#pragma once
// An actor's numbers. Every setter keeps its value in range, so no script, condition or damage
// rule can store one outside it.
#include <array>
#include <cstdint>

namespace Fenwarrow::Actor {

class CActorStatus {
public:
    // One damage weight per item category; a category bit of that number sets it to 1 or 0.
    static constexpr uint32_t kCategoryCount = 14;
    static constexpr int32_t kSpecialAbilityCount = 9;

    // The display name of a special ability; null for any other index.
    static const char16_t* getSpecialAbilityName(int32_t index);

    int32_t getDirection() const { return direction_; }
    void setDirection(int32_t value) { direction_ = value; }
    int32_t getTurnCount() const { return turnCount_; }
    void setTurnCount(int32_t value);
    int32_t getLevel() const { return level_; }
    void setLevel(int32_t value);
    float getMaxLife() const { return maxLife_; }
    void setMaxLife(float value);
    float getLife() const { return life_; }
    void setLife(float value);
    float getMaxHungerPoint() const { return maxHunger_; }
    void setMaxHungerPoint(float value);
    float getHungerPoint() const { return hunger_; }
    void setHungerPoint(float value);
    int32_t getMaxForce() const { return maxForce_; }
    void setMaxForce(int32_t value);
    int32_t getForce() const { return force_; }
    void setForce(int32_t value);
    float getAttack() const { return attack_; }
    void setAttack(float value);
    float getDefense() const { return defense_; }
    void setDefense(float value);
    float getPower() const { return power_; }
    void setPower(float value);
    int32_t getEXP() const { return exp_; }
    void setEXP(int32_t value);

    bool getCategory(uint32_t bit) const { return bit < 32 && (categoryBits_ >> bit & 1u) != 0; }
    // Sets or clears the bit; a bit that names a category also stores its weight as 1.0 or 0.0
    // (higher bits have no weight to store).
    void setCategory(uint32_t bit, bool on);
    void clearCategory() { categoryBits_ = 0; }
    uint32_t getCategoryBits() const { return categoryBits_; }
    // 0 for an index outside the categories.
    float getCategoryWeight(uint32_t index) const { return index < kCategoryCount ? categoryWeights_[index] : 0.0f; }
    // The damage rules read and scale these directly.
    std::array<float, kCategoryCount>& getCategoryValues() { return categoryWeights_; }
    const std::array<float, kCategoryCount>& getCategoryValues() const { return categoryWeights_; }
    bool getStabilityState(uint32_t bit) const { return bit < 32 && (stabilityBits_ >> bit & 1u) != 0; }
    void setStabilityState(uint32_t bit, bool on) { setBit(stabilityBits_, bit, on); }
    void clearStabilityState() { stabilityBits_ = 0; }
    uint32_t getStabilityBits() const { return stabilityBits_; }
    bool getShown() const { return shown_; }
    void setShown(bool shown) { shown_ = shown; }

    // Clamps every field in one pass (life and hunger only into their absolute ranges).
    void validate();

private:
    static void setBit(uint32_t& bits, uint32_t bit, bool on) {
        if (bit < 32) {
            bits = on ? bits | (1u << bit) : bits & ~(1u << bit);
        }
    }

    int32_t direction_ = 4;
    int32_t turnCount_ = 1;
    int32_t level_ = 1;
    float maxLife_ = 100.0f;
    float life_ = 100.0f;
    float maxHunger_ = 100.0f;
    float hunger_ = 100.0f;
    int32_t maxForce_ = 8;
    int32_t force_ = 1;
    float attack_ = 8.0f;
    float defense_ = 1.0f;
    float power_ = 0.0f;
    int32_t exp_ = 0;
    uint32_t categoryBits_ = 0;
    std::array<float, kCategoryCount> categoryWeights_{1.0f};
    uint32_t stabilityBits_ = 0;
    bool shown_ = true;
};

}  // namespace Fenwarrow::Actor
