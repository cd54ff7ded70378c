#include "game/item/CItemStatus.h"

#include <algorithm>

namespace Fenwarrow::Item {

void CItemStatus::setUseCount(uint32_t value) { useCount_ = std::min(value, kMaxUseCount); }

void CItemStatus::setBaseAttack(int32_t value) { baseAttack_ = std::clamp(value, -kBaseLimit, kBaseLimit); }

void CItemStatus::setAttack(int32_t value) {
    attack_ = std::clamp(value, baseAttack_ - kBonusLimit, baseAttack_ + kBonusLimit);
}

void CItemStatus::setBaseDefense(int32_t value) { baseDefense_ = std::clamp(value, -kBaseLimit, kBaseLimit); }

void CItemStatus::setDefense(int32_t value) {
    defense_ = std::clamp(value, baseDefense_ - kBonusLimit, baseDefense_ + kBonusLimit);
}

void CItemStatus::setSlotCount(uint32_t value) { slotCount_ = std::min(value, kMaxSlotCount); }

uint32_t CItemStatus::getSlotAbility(uint32_t index) const { return index < slotCount_ ? slotAbilities_[index] : 0; }

void CItemStatus::setSlotAbility(uint32_t index, uint32_t ability) {
    if (index < slotCount_) {
        slotAbilities_[index] = ability;
    }
}

bool CItemStatus::checkAbility(uint32_t ability) const {
    return std::find(slotAbilities_.begin(), slotAbilities_.begin() + slotCount_, ability) !=
           slotAbilities_.begin() + slotCount_;
}

bool CItemStatus::addAbility(uint32_t ability) {
    if (checkAbility(ability)) {
        return false;
    }
    for (uint32_t i = 0; i < slotCount_; ++i) {
        if (slotAbilities_[i] == 0) {
            slotAbilities_[i] = ability;
            return true;
        }
    }
    return false;
}

void CItemStatus::removeAbility(uint32_t ability) {
    for (uint32_t& slot : slotAbilities_) {
        if (slot == ability) {
            slot = 0;
        }
    }
}

}  // namespace Fenwarrow::Item
