#pragma once
// The numbers of one item: prices, use count, attack and defence with their bases, slot
// abilities and state flags. Setters keep every value in its range.
#include <array>
#include <cstdint>

namespace Fenwarrow::Item {

class CItemStatus {
public:
    static constexpr uint32_t kMaxUseCount = 10;
    static constexpr uint32_t kMaxSlotCount = 64;
    static constexpr int32_t kBaseLimit = 99;
    static constexpr int32_t kBonusLimit = 99;

    int32_t getPrice() const { return price_; }
    void setPrice(int32_t value) { price_ = value; }
    int32_t getUnitPrice() const { return unitPrice_; }
    void setUnitPrice(int32_t value) { unitPrice_ = value; }
    uint32_t getUseCount() const { return useCount_; }
    void setUseCount(uint32_t value);
    int32_t getBaseAttack() const { return baseAttack_; }
    void setBaseAttack(int32_t value);
    int32_t getAttack() const { return attack_; }
    void setAttack(int32_t value);
    int32_t getBaseDefense() const { return baseDefense_; }
    void setBaseDefense(int32_t value);
    int32_t getDefense() const { return defense_; }
    void setDefense(int32_t value);
    bool getPoppable() const { return poppable_; }
    void setPoppable(bool value) { poppable_ = value; }

    uint32_t getSlotCount() const { return slotCount_; }
    void setSlotCount(uint32_t value);
    // Slots at or beyond the slot count read 0 and ignore writes.
    uint32_t getSlotAbility(uint32_t index) const;
    void setSlotAbility(uint32_t index, uint32_t ability);
    // Writes the first empty slot within the slot count; false when the item has the ability
    // already or no slot is free.
    bool addAbility(uint32_t ability);
    bool checkAbility(uint32_t ability) const;
    // Empties every slot holding the ability, beyond the slot count too.
    void removeAbility(uint32_t ability);

    bool getCurse() const { return curse_; }
    void setCurse(bool value) { curse_ = value; }
    bool getBlessed() const { return blessed_; }
    void setBlessed(bool value) { blessed_ = value; }
    bool getFrozen() const { return frozen_; }
    void setFrozen(bool value) { frozen_ = value; }
    bool getUnidentified() const { return unidentified_; }
    void setUnidentified(bool value) { unidentified_ = value; }
    bool getItemHolder() const { return itemHolder_; }
    void setItemHolder(bool value) { itemHolder_ = value; }
    bool getUseIfTaken() const { return useIfTaken_; }
    void setUseIfTaken(bool value) { useIfTaken_ = value; }
    int32_t getAnotherOption() const { return anotherOption_; }
    void setAnotherOption(int32_t value) { anotherOption_ = value; }
    int32_t getShopEntryId() const { return shopEntryId_; }
    void setShopEntryId(int32_t value) { shopEntryId_ = value; }
    bool isShopItem() const { return shopEntryId_ != -1; }
    int32_t getCellX() const { return cellX_; }
    int32_t getCellY() const { return cellY_; }
    void setCellPoint(int32_t x, int32_t y) {
        cellX_ = x;
        cellY_ = y;
    }

private:
    int32_t price_ = 0;
    int32_t unitPrice_ = 0;
    uint32_t useCount_ = 0;
    int32_t baseAttack_ = 0;
    int32_t attack_ = 0;
    int32_t baseDefense_ = 0;
    int32_t defense_ = 0;
    bool poppable_ = false;
    uint32_t slotCount_ = 0;
    std::array<uint32_t, kMaxSlotCount> slotAbilities_{};
    bool curse_ = false;
    bool blessed_ = false;
    bool frozen_ = false;
    bool unidentified_ = false;
    bool itemHolder_ = false;
    bool useIfTaken_ = false;
    int32_t anotherOption_ = 0;
    int32_t shopEntryId_ = -1;
    int32_t cellX_ = -1;
    int32_t cellY_ = -1;
};

}  // namespace Fenwarrow::Item
