#include "game/damage/CDamageCalculator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/random/OxRandomRange.h"
#include "engine/system/OxWideFormat.h"
#include "game/actor/CPlayer.h"
#include "game/actor/ConditionType.h"
#include "game/actor/IActorConditions.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Damage {

namespace {

using Actor::CActor;
using Item::CItem;
using Orvex::System::formatWide;

constexpr const char16_t* kHitLine =
    u"<0:COLOR>%s</COLOR>は<0:COLOR>%s</COLOR>に<1:COLOR>%d</COLOR>のダメージを与えた！";
constexpr const char16_t* kNamedHitLine =
    u"<0:COLOR>%s</COLOR>は%sで<0:COLOR>%s</COLOR>に<1:COLOR>%d</COLOR>のダメージを与えた！";
constexpr const char16_t* kMissLine = u"<0:COLOR>%s</COLOR>の攻撃はあたらなかった。";
constexpr const char16_t* kParryLine = u"<0:COLOR>%s</COLOR>の攻撃は受け流された。";
constexpr const char16_t* kCriticalLine = u"会心の一撃！";
constexpr const char16_t* kTakenLine = u"<0:COLOR>%s</COLOR>は<1:COLOR>%d</COLOR>のダメージを受けた！";
constexpr const char16_t* kDeathLine = u"<0:COLOR>%s</COLOR>を死に誘った。";
constexpr const char16_t* kScapegoatName = u"呪詛返し";
constexpr const char16_t* kConditionLine = u"<0:COLOR>%s</COLOR>は%s！";
constexpr const char16_t* kDecoyLine = u"<0:COLOR>%s</COLOR>は%s%s！";
constexpr const char16_t* kDecoyWord = u"囮";
constexpr const char16_t* kDecoySuffix = u"になった";
constexpr const char16_t* kRaised = u"上がった";
constexpr const char16_t* kLowered = u"下がった";
constexpr const char16_t* kRecovered = u"回復した";

constexpr float kHitChance = 95.0f;
constexpr float kDrunkHitChance = 20.0f;
constexpr float kSureAimChance = 75.0f;
constexpr float kDodgeFactor = 0.8f;
constexpr float kDefenseBase = 0.96875f;
constexpr int32_t kCriticalChance = 5;
constexpr int32_t kAmuletWearChance = 20;
constexpr float kBigEaterBonus = 10.0f;
using Item::CItemStatus;

int32_t magnitude(float value) { return static_cast<int32_t>(std::fabs(value)); }

}  // namespace

CDamageCalculator& CDamageCalculator::of(CActor& actor) {
    if (actor.getDamageCalculatorSlot() == nullptr) {
        actor.setDamageCalculatorSlot(std::make_shared<CDamageCalculator>(actor));
    }
    return *actor.getDamageCalculatorSlot();
}

float CDamageCalculator::surroundingFactor(int32_t neighbours) {
    static constexpr float kFactors[9] = {1.0f, 1.0f, 1.125f, 1.25f, 1.5f, 1.75f, 2.0f, 2.5f, 3.0f};
    return kFactors[std::clamp(neighbours, 0, 8)];
}

float CDamageCalculator::pinchFactor(float life, float maxLife) {
    return maxLife > 0.0f && life / maxLife < 0.3f ? 1.25f : 1.0f;
}

float CDamageCalculator::fullnessFactor(float h) {
    if (h >= 200.0f) {
        return 2.0f;
    }
    if (h >= 151.0f) {
        return 1.25f;
    }
    if (h >= 101.0f) {
        return 1.125f;
    }
    if (h >= 51.0f) {
        return 1.0f;
    }
    if (h >= 26.0f) {
        return 0.9f;
    }
    if (h >= 1.0f) {
        return 0.75f;
    }
    return 1.25f;
}

float CDamageCalculator::wealthFactor(int32_t money) {
    if (money >= 10000) {
        return 1.25f;
    }
    return money >= 5000 ? 1.125f : 1.0f;
}

float CDamageCalculator::weaponCategoryFactor(const Categories& target, const Categories& weapon) {
    float sum = 0.0f;
    for (std::size_t i = 0; i < kCategoryCount; ++i) {
        const auto targetBits = static_cast<int64_t>(std::lround(target[i]));
        const auto weaponBits = static_cast<int64_t>(std::lround(weapon[i]));
        if ((targetBits & weaponBits) == 0) {
            continue;
        }
        if (i == 0) {
            sum += weapon[i];
        } else if (sum == 1.0f) {
            sum = weapon[i] * 1.5f;
        } else {
            sum += weapon[i] * 1.5f;
        }
    }
    if (sum == 0.0f) {
        sum = 1.0f;
    }
    if (target[kSpiritCategory] > 0.0f) {
        return sum > 1.0f ? 1.0f : 0.0f;
    }
    return sum;
}

bool CDamageCalculator::checkEquippedItemAbility(const CActor* actor, uint32_t ability, const CGameDataManager* data) {
    if (actor == nullptr || data == nullptr || actor->getActorType() != CActor::kPlayer) {
        return false;
    }
    for (const auto& item :
         {data->getEquippedWeaponItem(), data->getEquippedShieldItem(), data->getEquippedAmuletItem()}) {
        if (item != nullptr && item->getStatus().checkAbility(ability)) {
            return true;
        }
    }
    return false;
}

bool CDamageCalculator::equipped(const CActor* actor, uint32_t ability) const {
    return checkEquippedItemAbility(actor, ability, world_->context.getGameDataManager());
}

bool CDamageCalculator::isPlayer(const CActor* actor) const {
    return actor != nullptr && actor->getActorType() == CActor::kPlayer;
}

void CDamageCalculator::log(const std::u16string& line) const {
    if (logMessage_ && world_->floor != nullptr) {
        world_->floor->getLogManager().addLogMessage(line);
    }
}

std::u16string CDamageCalculator::attackerName() const {
    if (param_.originActor != nullptr) {
        return param_.originActor->getName();
    }
    return param_.originItem != nullptr ? param_.originItem->getName() : std::u16string();
}

void CDamageCalculator::logDamage(int32_t damage) const {
    if (!result_.isHit) {
        log(formatWide(kMissLine, attackerName()));
    } else if (param_.damageName.empty()) {
        log(formatWide(kHitLine, attackerName(), target_.getName(), damage));
    } else {
        log(formatWide(kNamedHitLine, attackerName(), param_.damageName, target_.getName(), damage));
    }
}

void CDamageCalculator::execute(const CDamageWorld& world, bool forceHit) {
    world_ = &world;
    result_ = Result();
    result_.damageId = param_.kind;
    result_.sourceType = param_.sourceType;
    result_.damageName = param_.damageName;
    result_.originActor = param_.originActor;
    result_.originItem = param_.originItem;
    switch (param_.kind) {
        case CDamageParam::kBlow:
            applyBlowDamage(forceHit);
            break;
        case CDamageParam::kExplosion:
            applyExplosion();
            break;
        case CDamageParam::kActorStatus:
            applyActorStatus();
            break;
        case CDamageParam::kFixed:
            applyFixed();
            break;
        case CDamageParam::kCondition:
            applyCondition();
            break;
        case CDamageParam::kDanmaku:
            applyDanmaku();
            break;
        case CDamageParam::kItemStatus:
            applyItemStatus();
            break;
        default:
            break;
    }
    if (result_.isHit && result_.damage > 0.0f && world.queueOnDamage) {
        world.queueOnDamage(target_);
    }
    world_ = nullptr;
}

float CDamageCalculator::computeBlowDamage(bool forceHit) {
    const CActor* attacker = param_.originActor;
    bool alwaysHit = false;
    if (param_.originItem != nullptr) {
        alwaysHit = param_.originItem->getStatus().checkAbility(kAbilitySureHit) || equipped(attacker, kAbilitySureHit);
    }
    bool sureAim = false;
    bool drunk = false;
    if (attacker != nullptr) {
        drunk = attacker->hasCondition(Actor::kConditionDrunken);
        alwaysHit = equipped(attacker, kAbilitySureHit);
        sureAim = equipped(attacker, kAbilitySureAim);
    }
    const bool dodge = equipped(&target_, kAbilityDodge);

    // A drunk seldom lands a blow, but a shot is aimed by the shot itself.
    float chance = drunk && param_.kind != CDamageParam::kDanmaku ? kDrunkHitChance : kHitChance;
    if (sureAim) {
        chance = kSureAimChance;
    }
    if (dodge) {
        chance *= kDodgeFactor;
    }
    auto& random = world_->context.getRandomGenerator();
    const bool hit = Orvex::Random::getRangeReal(random, 1.0f, 100.0f) <= chance || alwaysHit;
    result_.isHit = hit;

    float base = 0.0f;
    float multiplier = 1.0f;
    if (hit || forceHit) {
        result_.isHit = true;
        base = baseBlowDamage();
        bool weaponApplied = false;
        if (isPlayer(attacker) && param_.sourceType == CDamageParam::kSourceActor) {
            multiplier = playerBlowMultiplier(*attacker);
            const CGameDataManager* data = world_->context.getGameDataManager();
            const auto weapon = data != nullptr ? data->getEquippedWeaponItem() : nullptr;
            // A Mobbly fights with its own body, not the weapon it carries.
            if (weapon != nullptr && param_.kind != CDamageParam::kDanmaku &&
                !attacker->hasCondition(Actor::kConditionMobbly)) {
                multiplier *=
                    weaponCategoryFactor(target_.getStatus().getCategoryValues(), weapon->getCategoryWeights());
                weaponApplied = true;
            }
        }
        if (!weaponApplied && target_.getStatus().getCategoryValues()[kSpiritCategory] > 0.0f) {
            multiplier = 0.0f;
        }
        // Whatever a drunk lands, lands hard.
        if (drunk) {
            result_.isCritical = true;
        }
    }
    const float damage = std::max(param_.finalMultiplier * base * multiplier, 1.0f);
    result_.damage = damage;
    return damage;
}

float CDamageCalculator::baseBlowDamage() {
    const CActor* attacker = param_.originActor;
    if (attacker == nullptr) {
        return 0.0f;
    }
    auto& random = world_->context.getRandomGenerator();
    const float r = Orvex::Random::getRangeReal(random, 106.0f, 150.0f) * 0.0078125f;
    const float defense = std::pow(kDefenseBase, target_.getStatus().getDefense());
    const CGameDataManager* data = world_->context.getGameDataManager();
    if (isPlayer(attacker)) {
        float strength = static_cast<float>(attacker->getStatus().getForce()) * 0.125f;
        const auto weapon = data != nullptr ? data->getEquippedWeaponItem() : nullptr;
        if (weapon != nullptr && !attacker->hasCondition(Actor::kConditionMobbly)) {
            strength += static_cast<float>(weapon->getStatus().getAttack()) * 0.0625f;
        }
        return attacker->getStatus().getAttack() * 0.5f * strength * r * defense;
    }
    float base = attacker->getStatus().getAttack() * r * defense;
    // The shield guards the one who wears it, unless it wears a Mobbly's body instead.
    const auto shield = data != nullptr ? data->getEquippedShieldItem() : nullptr;
    if (shield != nullptr && isPlayer(&target_) && !target_.hasCondition(Actor::kConditionMobbly)) {
        base *= std::pow(kDefenseBase, static_cast<float>(shield->getStatus().getDefense()));
    }
    return base;
}

float CDamageCalculator::playerBlowMultiplier(const CActor& attacker) {
    float footing = 1.0f;
    float surrounding = 1.0f;
    const Dungeon::CMapCell* cell = attacker.getCell();
    if (world_->floor != nullptr && cell != nullptr) {
        const auto underfoot = world_->floor->getCellItem(cell);
        if (underfoot != nullptr && underfoot->getStatus().getAnotherOption() == 2) {
            footing = 0.5f;
        } else if (cell->room == nullptr) {
            footing = 0.9f;
        }
        int32_t neighbours = 0;
        for (const CActor* around : world_->floor->getAroundActorList(cell->getPoint())) {
            neighbours += around != nullptr ? 1 : 0;
        }
        surrounding = surroundingFactor(neighbours);
    }
    const auto& status = attacker.getStatus();
    const CGameDataManager* data = world_->context.getGameDataManager();
    return footing * surrounding * pinchFactor(status.getLife(), status.getMaxLife()) *
           fullnessFactor(status.getHungerPoint()) * wealthFactor(data != nullptr ? data->getPlayerMoney() : 0);
}

void CDamageCalculator::applyBlowDamage(bool forceHit) {
    auto damage = static_cast<int32_t>(std::floor(computeBlowDamage(forceHit)));
    if (isInvincible()) {
        damage = 0;
    }
    if (target_.getStatus().getCategory(kParryBit)) {
        result_.isHit = false;
        result_.damage = 0.0f;
        log(formatWide(kParryLine, attackerName()));
        return;
    }
    if (result_.isHit) {
        if (param_.originItem == nullptr && equipped(param_.originActor, kAbilityStrength) &&
            Orvex::Random::getRange(world_->context.getRandomGenerator(), 1, 100) <= kCriticalChance) {
            result_.isCritical = true;
        }
        if (result_.isCritical) {
            damage *= 2;
            log(kCriticalLine);
        }
        target_.getStatus().setLife(target_.getStatus().getLife() - static_cast<float>(damage));
        result_.damage = static_cast<float>(damage);
    } else {
        result_.damage = 0.0f;
    }
    logDamage(damage);
}

void CDamageCalculator::applyDanmaku() {
    auto damage = static_cast<int32_t>(std::floor(computeBlowDamage(false)));
    if (isInvincible() || target_.getStatus().getCategory(kDanmakuProofBit)) {
        damage = 0;
    }
    if (result_.isHit) {
        target_.getStatus().setLife(target_.getStatus().getLife() - static_cast<float>(damage));
        result_.damage = static_cast<float>(damage);
    } else {
        result_.damage = 0.0f;
    }
    logDamage(damage);
}

void CDamageCalculator::applyExplosion() {
    auto& status = target_.getStatus();
    const float before = status.getLife();
    float after = 0.0f;
    if (isPlayer(&target_)) {
        after = equipped(&target_, kAbilityMine) ? before * 0.5f : 1.0f;
    }
    if (!isInvincible()) {
        status.setLife(std::min(after, before));
    }
    result_.isHit = true;
    result_.damage = before - status.getLife();
    // The scapegoat takes the loss as a fixed damage; the target's own loss stands.
    if (passToScapegoat(-result_.damage)) {
        result_.damage = before;
    }
}

void CDamageCalculator::applyFixed() {
    if (isInvincible()) {
        param_.fixedValue = 0.0f;
        param_.fixedKill = false;
    }
    if (passToScapegoat(param_.fixedValue)) {
        return;
    }
    auto& status = target_.getStatus();
    if (param_.fixedKill) {
        if (status.getCategory(kDeathProofBit)) {
            applyBlowDamage(false);
            return;
        }
        status.setLife(0.0f);
        result_.isHit = true;
        log(formatWide(kDeathLine, target_.getName()));
        return;
    }
    status.setLife(status.getLife() + param_.fixedValue);
    result_.isHit = true;
    result_.damage = param_.fixedValue;
    if (param_.originActor != nullptr && param_.originActor != &target_ && param_.originItem == nullptr) {
        log(formatWide(kHitLine, param_.originActor->getName(), target_.getName(), magnitude(param_.fixedValue)));
    } else {
        log(formatWide(kTakenLine, target_.getName(), magnitude(param_.fixedValue)));
    }
}

void CDamageCalculator::applyActorStatus() {
    if (passToScapegoat(0.0f)) {
        return;
    }
    const CDamageParam::ActorStatus& change = param_.actorStatus;
    auto& status = target_.getStatus();
    // An invincible target only gains; its own hunger is the one loss it still takes.
    const bool invincible = isInvincible();
    const bool ownDoing = param_.originActor == &target_ && param_.originItem == nullptr;
    float value = 0.0f;
    // The line tells what the clamping setter really changed, in the whole numbers the gauges
    // show: a potion drunk three points short of full life restores three, not its whole worth.
    float before = 0.0f;
    float after = 0.0f;
    const char16_t* line = nullptr;
    const char16_t* raised = kRaised;
    if (change.level != 0) {
        if (change.level < 0 && invincible) {
            return;
        }
        if (change.level < 0 && equipped(&target_, kAbilityWardOff)) {
            wearOutAmulet();
            return;
        }
        value = static_cast<float>(change.level);
        before = static_cast<float>(status.getLevel());
        status.setLevel(status.getLevel() + change.level);
        after = static_cast<float>(status.getLevel());
        line = u"<0:COLOR>%s</COLOR>はレベルが<1:COLOR>%d</COLOR>%s！";
    } else if (change.maxLife != 0.0f) {
        if (change.maxLife < 0.0f && invincible) {
            return;
        }
        value = change.maxLife;
        before = status.getMaxLife();
        status.setMaxLife(before + value);
        after = status.getMaxLife();
        line = u"<0:COLOR>%s</COLOR>はHPの最大値が<1:COLOR>%d</COLOR>%s！";
    } else if (change.life != 0.0f) {
        if (change.life < 0.0f && invincible) {
            return;
        }
        value = change.life;
        before = status.getLife();
        status.setLife(before + value);
        after = status.getLife();
        line = u"<0:COLOR>%s</COLOR>はHPが<1:COLOR>%d</COLOR>%s！";
        raised = kRecovered;
    } else if (change.maxHungerPoint != 0.0f) {
        if (change.maxHungerPoint < 0.0f && invincible) {
            return;
        }
        value = change.maxHungerPoint;
        before = status.getMaxHungerPoint();
        status.setMaxHungerPoint(before + value);
        after = status.getMaxHungerPoint();
        line = u"<0:COLOR>%s</COLOR>は最大満腹度が<1:COLOR>%d</COLOR>%s！";
    } else if (change.hungerPoint != 0.0f) {
        value = change.hungerPoint;
        if (value < 0.0f && (status.getStabilityState(kNoHungerLossBit) || (invincible && !ownDoing))) {
            return;
        }
        if (value > 0.0f && equipped(&target_, kAbilityBigEater)) {
            value += kBigEaterBonus;
        }
        before = status.getHungerPoint();
        status.setHungerPoint(before + value);
        after = status.getHungerPoint();
        line = u"<0:COLOR>%s</COLOR>は満腹度が<1:COLOR>%d</COLOR>%s！";
    } else if (change.force != 0) {
        if (change.force < 0 && (invincible || equipped(&target_, kAbilityAntibody))) {
            return;
        }
        value = static_cast<float>(change.force);
        before = static_cast<float>(status.getForce());
        status.setForce(status.getForce() + change.force);
        after = static_cast<float>(status.getForce());
        line = u"<0:COLOR>%s</COLOR>は力が<1:COLOR>%d</COLOR>%s！";
    } else if (change.maxForce != 0) {
        if (change.maxForce < 0 && (invincible || equipped(&target_, kAbilityNoDrain))) {
            return;
        }
        value = static_cast<float>(change.maxForce);
        before = static_cast<float>(status.getMaxForce());
        status.setMaxForce(status.getMaxForce() + change.maxForce);
        after = static_cast<float>(status.getMaxForce());
        line = u"<0:COLOR>%s</COLOR>は力の最大値が<1:COLOR>%d</COLOR>%s！";
    } else {
        return;
    }
    result_.isHit = true;
    result_.damage = value;
    log(formatWide(line, target_.getName(), magnitude(std::trunc(after) - std::trunc(before)),
                   value > 0.0f ? raised : kLowered));
}

void CDamageCalculator::wearOutAmulet() {
    if (Orvex::Random::getRange(world_->context.getRandomGenerator(), 1, 100) > kAmuletWearChance) {
        return;
    }
    CGameDataManager* data = world_->context.getGameDataManager();
    Item::CItemFactory* factory = world_->context.getItemFactory();
    if (data == nullptr || factory == nullptr || data->getPlayer() == nullptr) {
        return;
    }
    const auto amulet = data->getEquippedAmuletItem();
    if (amulet == nullptr || !amulet->getStatus().checkAbility(kAbilityWardOff)) {
        return;
    }
    // Without the worn-out kind the amulet stays as it is.
    const auto worn = factory->createItem(kWornAmuletItem);
    if (worn == nullptr) {
        return;
    }
    const int32_t index = data->getEquippedAmuletIndex();
    const int32_t weapon = data->getEquippedWeaponIndex();
    const int32_t shield = data->getEquippedShieldIndex();
    data->removePlayerItem(amulet.get());
    if (!data->getPlayer()->insertItem(worn, static_cast<std::size_t>(index))) {
        data->getPlayer()->addItem(worn);
    }
    data->setEquippedWeaponIndex(weapon);
    data->setEquippedShieldIndex(shield);
    data->setEquippedAmuletIndex(data->getPlayer()->findItem(worn.get()));
}

void CDamageCalculator::applyItemStatus() {
    if (passToScapegoat(0.0f)) {
        return;
    }
    const CDamageParam::ItemStatus& change = param_.itemStatus;
    CItem* item = change.item;
    if (item == nullptr) {
        return;
    }
    auto& status = item->getStatus();
    const char16_t* line = nullptr;
    int32_t value = 0;
    // Numbers that fall are kept by an equipped ability against wear; a curse is warded off
    // like a level loss, at the same risk to the amulet.
    const bool wearProof = equipped(&target_, kAbilityWearProof);
    if (change.attack != 0) {
        if (change.attack < 0 && wearProof) {
            return;
        }
        value = change.attack;
        status.setAttack(status.getAttack() + value);
        line = u"<0:COLOR>%s</COLOR>は攻撃力が<1:COLOR>%d</COLOR>%s！";
    } else if (change.defense != 0) {
        if (change.defense < 0 && wearProof) {
            return;
        }
        value = change.defense;
        status.setDefense(status.getDefense() + value);
        line = u"<0:COLOR>%s</COLOR>は防御力が<1:COLOR>%d</COLOR>%s！";
    } else if (change.slotCount != 0) {
        if (change.slotCount < 0 && wearProof) {
            return;
        }
        value = change.slotCount;
        const int64_t count = static_cast<int64_t>(status.getSlotCount()) + value;
        status.setSlotCount(static_cast<uint32_t>(std::clamp<int64_t>(count, 0, CItemStatus::kMaxSlotCount)));
        line = u"<0:COLOR>%s</COLOR>はスロット数が<1:COLOR>%d</COLOR>%s！";
    } else if (change.curse != 0) {
        if (change.curse > 0 && equipped(&target_, kAbilityWardOff)) {
            wearOutAmulet();
            return;
        }
        value = change.curse;
        status.setCurse(value > 0);
    } else if (change.blessed != 0) {
        value = change.blessed;
        status.setBlessed(value > 0);
    } else if (change.frozen != 0) {
        value = change.frozen;
        status.setFrozen(value > 0);
    } else if (change.unidentified != 0) {
        value = change.unidentified;
        status.setUnidentified(value > 0);
    } else {
        return;
    }
    result_.isHit = true;
    result_.damage = static_cast<float>(value);
    if (line != nullptr) {
        log(formatWide(line, item->getName(), std::abs(value), value > 0 ? kRaised : kLowered));
    }
}

bool CDamageCalculator::isInvincible() const { return target_.hasCondition(Actor::kConditionInvincible); }

void CDamageCalculator::applyCondition() {
    const int32_t type = param_.conditionType;
    // Invincibility keeps every condition off but those that help the target.
    const bool welcome = type == Actor::kConditionQuick || type == Actor::kConditionStealth ||
                         type == Actor::kConditionSheltered || type == Actor::kConditionStrong;
    if (isInvincible() && !welcome) {
        return;
    }
    Actor::IActorConditions* conditions = target_.getConditions();
    if (conditions == nullptr || conditions->isCondition(type) || passToScapegoat(0.0f)) {
        return;
    }
    // Named as it was seen before: a decoy or a stealthy actor goes by another name afterwards.
    const std::u16string name = target_.getName();
    // A number that names no condition is refused by the set and leaves the target as it was.
    result_.isHit = conditions->addCondition(type);
    if (!result_.isHit) {
        return;
    }
    if (type == Actor::kConditionScapegoat) {
        log(formatWide(kDecoyLine, name, std::u16string(kDecoyWord), std::u16string(kDecoySuffix)));
    } else if (const char16_t* word = conditionWord(type)) {
        log(formatWide(kConditionLine, name, std::u16string(word)));
    }
}

const char16_t* CDamageCalculator::conditionWord(int32_t type) {
    // The words of the conditions' own display names; the hidden ones have none.
    static constexpr const char16_t* kWords[Actor::kConditionTypeCount] = {
        nullptr,   u"混乱", u"泥酔",   u"倍速", u"鈍速",   u"目潰し", u"幻覚", u"睡眠",
        u"コタツ", nullptr, u"金縛り", nullptr, nullptr,   nullptr,   u"怪力", u"無敵",
        u"狂化",   u"囮",   u"冬眠",   u"衰弱", u"筋弛緩", u"変身",   u"動転",
    };
    return Actor::isConditionType(type) ? kWords[type] : nullptr;
}

bool CDamageCalculator::passToScapegoat(float computed) {
    if (world_->floor == nullptr) {
        return false;
    }
    for (const auto& actor : world_->floor->getTurnController().getParticipants()) {
        if (actor == nullptr || actor.get() == &target_ || !actor->getStatus().getStabilityState(kScapegoatBit)) {
            continue;
        }
        CDamageParam& taken = of(*actor).getParam();
        taken.clear();
        switch (param_.kind) {
            case CDamageParam::kCondition:
                taken.kind = CDamageParam::kCondition;
                taken.conditionType = param_.conditionType;
                break;
            case CDamageParam::kActorStatus:
                taken.kind = CDamageParam::kActorStatus;
                taken.actorStatus = param_.actorStatus;
                break;
            case CDamageParam::kItemStatus:
                taken.kind = CDamageParam::kItemStatus;
                taken.itemStatus = param_.itemStatus;
                break;
            default:
                taken.kind = CDamageParam::kFixed;
                taken.fixedValue = computed;
                break;
        }
        taken.sourceType = CDamageParam::kSourceActor;
        taken.originActor = &target_;
        taken.damageName = kScapegoatName;
        // Its script may take it off the floor: keep it alive through the call.
        const std::shared_ptr<CActor> scapegoat = actor;
        scapegoat->callEvent("onDamage");
        return true;
    }
    return false;
}

}  // namespace Fenwarrow::Damage
