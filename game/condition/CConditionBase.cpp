#include "game/condition/CConditionBase.h"

#include "game/actor/CActor.h"
#include "game/damage/CDamageCalculator.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Actor::Condition {

bool CConditionBase::serialize(Orvex::Serialization::OxSerializer& serializer) {
    return serializeValue(serializer, mayAct_);
}

IActorConditions* CConditionBase::getConditionController() const { return actor_.getConditions(); }

bool CConditionBase::isPlayer() const { return actor_.getActorType() == CActor::kPlayer; }

bool CConditionBase::isEnemy() const { return actor_.getActorType() == CActor::kEnemy; }

bool CConditionBase::isStable() const { return actor_.getStatus().getStabilityState(kStableBit); }

IGameContext& CConditionBase::getContext() const { return actor_.getContext(); }

Dungeon::CDungeon* CConditionBase::getDungeon() const { return actor_.getContext().getCurrentDungeon(); }

Orvex::Random::IOrvexRandomGenerator& CConditionBase::getRandom() const {
    return actor_.getContext().getRandomGenerator();
}

bool CConditionBase::hasEquippedAbility(uint32_t ability) const {
    return Damage::CDamageCalculator::checkEquippedItemAbility(&actor_, ability,
                                                               actor_.getContext().getGameDataManager());
}

bool CConditionBase::isDamageOfCondition(int32_t type) const {
    const Damage::CDamageParam& param = Damage::CDamageCalculator::of(actor_).getParam();
    return param.kind == Damage::CDamageParam::kCondition && param.conditionType == type;
}

std::vector<Orvex::MossbellLib::OxMADObject*> CConditionBase::getEquippedSprites() const {
    std::vector<Orvex::MossbellLib::OxMADObject*> sprites;
    if (!isPlayer()) {
        return sprites;
    }
    if (actor_.getEquippedWeaponItem() != nullptr) {
        sprites.push_back(actor_.getExtraSprite(CActor::kWeaponSprite).get());
    }
    if (actor_.getEquippedShieldItem() != nullptr) {
        sprites.push_back(actor_.getExtraSprite(CActor::kShieldSprite).get());
    }
    return sprites;
}

void CConditionBase::lieDown() {
    actor_.playMotion(u"Sleep", false, false, true);
    actor_.setMotionLock(1);
}

void CConditionBase::getUp() {
    actor_.setMotionLock(0);
    actor_.playMotion(u"Walk", false, true, true);
}

bool CConditionBase::serializeValue(Orvex::Serialization::OxSerializer& serializer, int32_t& value) {
    if (serializer.isWriting()) {
        serializer.write32(value);
        return true;
    }
    return serializer.read32(value);
}

bool CConditionBase::serializeValue(Orvex::Serialization::OxSerializer& serializer, float& value) {
    if (serializer.isWriting()) {
        serializer.write32(value);
        return true;
    }
    return serializer.read32(value);
}

bool CConditionBase::serializeValue(Orvex::Serialization::OxSerializer& serializer, bool& value) {
    if (serializer.isWriting()) {
        serializer.writeByte(value ? 1 : 0);
        return true;
    }
    uint8_t byte = 0;
    const bool read = serializer.readByte(byte);
    value = byte != 0;
    return read;
}

bool CCountingCondition::serialize(Orvex::Serialization::OxSerializer& serializer) {
    const bool base = CConditionBase::serialize(serializer);
    return serializeValue(serializer, counter_) && base;
}

}  // namespace Fenwarrow::Actor::Condition
