#pragma once
// The keeper of the player's equipment: the weapon, shield and amulet as indexes into the
// player's item list (-1 = none). The game data manager keeps them across floors; the player
// actor reaches them through this interface, since the keeper is built on top of the actor.
#include <cstdint>
#include <memory>

namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Actor {

class IPlayerEquipment {
public:
    virtual ~IPlayerEquipment() = default;

    // Null clears the slot; an item of the slot's category that the player carries has its
    // index stored and returned; anything else gives -1 and changes nothing.
    virtual int32_t setEquippedWeaponItem(const Item::CItem* item) = 0;
    virtual int32_t setEquippedShieldItem(const Item::CItem* item) = 0;
    virtual int32_t setEquippedAmuletItem(const Item::CItem* item) = 0;
    virtual void setEquippedWeaponIndex(int32_t index) = 0;
    virtual void setEquippedShieldIndex(int32_t index) = 0;
    virtual void setEquippedAmuletIndex(int32_t index) = 0;
    // Empty when the slot is free or its index is out of range.
    virtual std::shared_ptr<Item::CItem> getEquippedWeaponItem() const = 0;
    virtual std::shared_ptr<Item::CItem> getEquippedShieldItem() const = 0;
    virtual std::shared_ptr<Item::CItem> getEquippedAmuletItem() const = 0;
    virtual int32_t getEquippedWeaponIndex() const = 0;
    virtual int32_t getEquippedShieldIndex() const = 0;
    virtual int32_t getEquippedAmuletIndex() const = 0;
    // Frees the slot the item is equipped in, clearing the weapon or shield sprite it dressed.
    virtual void detachEquippedItem(const Item::CItem* item) = 0;
};

}  // namespace Fenwarrow::Actor
