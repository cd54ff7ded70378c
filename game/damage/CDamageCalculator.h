#pragma once
// One actor's damage calculator: scripts fill its parameter record, run it, and read the result.
// A run works out one blow, explosion, status change, fixed damage or shot against the actor
// that owns it (the target), changes the target's numbers and writes the fight's log lines.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "game/damage/CDamageParam.h"

namespace Fenwarrow {
class CGameDataManager;
class IGameContext;
}  // namespace Fenwarrow
namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::Damage {

// What a calculation reaches beyond its two actors.
struct CDamageWorld {
    // The random generator, the game data (the player, its equipment and money) and the item
    // factory.
    IGameContext& context;
    // The floor in play (log, surroundings, scapegoats); null outside a floor.
    Dungeon::CDungeon* floor = nullptr;
    // Queues the target's on-damage script after a hit that did damage; may be empty.
    std::function<void(Actor::CActor&)> queueOnDamage;
};

class CDamageCalculator {
public:
    static constexpr std::size_t kCategoryCount = 14;
    using Categories = std::array<float, kCategoryCount>;

    // Slot abilities the calculation reads.
    static constexpr uint32_t kAbilityAntibody = 2;
    static constexpr uint32_t kAbilityStrength = 10;
    static constexpr uint32_t kAbilityBigEater = 17;
    static constexpr uint32_t kAbilityMine = 21;
    static constexpr uint32_t kAbilityWearProof = 23;
    static constexpr uint32_t kAbilityDodge = 27;
    static constexpr uint32_t kAbilitySureHit = 33;
    static constexpr uint32_t kAbilityWardOff = 36;
    static constexpr uint32_t kAbilityNoDrain = 42;
    static constexpr uint32_t kAbilitySureAim = 53;
    // The item that takes the place of an amulet worn out by warding off a level loss.
    static constexpr uint32_t kWornAmuletItem = 20;
    // Category bits of the target, and the category value of a foe only weapons can hurt.
    static constexpr uint32_t kDanmakuProofBit = 8;
    static constexpr uint32_t kDeathProofBit = 9;
    static constexpr uint32_t kParryBit = 10;
    static constexpr std::size_t kSpiritCategory = 11;
    // Stability-state bits: hunger does not fall; the actor takes others' curses.
    static constexpr uint32_t kNoHungerLossBit = 2;
    static constexpr uint32_t kScapegoatBit = 8;
    static constexpr const char16_t* kOnDamageScript = u"Script/Lib/Game/Action/Action/CallOnDamageAction.lua";

    struct Result {
        bool isHit = false;
        bool isCritical = false;
        float damage = 0.0f;
        int32_t damageId = 0;
        int32_t sourceType = 0;
        std::u16string damageName;
        Actor::CActor* originActor = nullptr;
        Item::CItem* originItem = nullptr;
    };

    explicit CDamageCalculator(Actor::CActor& target) : target_(target) {}

    // The calculator of that actor, made on first use; it lives as long as the actor.
    static CDamageCalculator& of(Actor::CActor& actor);

    Actor::CActor& getTarget() const { return target_; }
    CDamageParam& getParam() { return param_; }
    const Result& getResult() const { return result_; }
    void clearResult() { result_ = Result(); }
    bool getLogMessage() const { return logMessage_; }
    void setLogMessage(bool on) { logMessage_ = on; }

    // Runs the parameter record's kind against the target; a kind outside 1..7 does nothing.
    void execute(const CDamageWorld& world, bool forceHit);

    // Whether the player's equipped weapon, shield or amulet carries the ability; false for any
    // other actor.
    static bool checkEquippedItemAbility(const Actor::CActor* actor, uint32_t ability, const CGameDataManager* data);

    // The factors of a player's blow.
    static float surroundingFactor(int32_t neighbours);
    static float pinchFactor(float life, float maxLife);
    static float fullnessFactor(float hungerPoint);
    static float wealthFactor(int32_t money);
    static float weaponCategoryFactor(const Categories& target, const Categories& weapon);
    // The word a condition line names the condition by; null for the conditions never shown.
    static const char16_t* conditionWord(int32_t type);

private:
    float computeBlowDamage(bool forceHit);
    float baseBlowDamage();
    float playerBlowMultiplier(const Actor::CActor& attacker);
    void applyBlowDamage(bool forceHit);
    void applyExplosion();
    void applyActorStatus();
    void applyFixed();
    void applyCondition();
    void applyDanmaku();
    void applyItemStatus();
    // Warding off a loss may wear the equipped amulet out into the worn-out kind.
    void wearOutAmulet();
    // Hands the damage to the first other participant that takes curses; true when one did.
    bool passToScapegoat(float computed);
    bool equipped(const Actor::CActor* actor, uint32_t ability) const;
    bool isPlayer(const Actor::CActor* actor) const;
    bool isInvincible() const;
    void log(const std::u16string& line) const;
    void logDamage(int32_t damage) const;
    std::u16string attackerName() const;

    Actor::CActor& target_;
    CDamageParam param_;
    bool logMessage_ = false;
    Result result_;
    const CDamageWorld* world_ = nullptr;  // only while execute runs
};

}  // namespace Fenwarrow::Damage
