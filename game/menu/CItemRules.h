#pragma once
// The item flags the menus decide by, read from the item's status record:
// - locked (no use, no equip): the frozen flag;
// - not to be picked up from the menu (traps, stairs, money, used when stepped on): use-if-taken;
// - needs a target item chosen from the player's items (a card that works on another item):
//   the poppable flag, which scripts set and nothing else reads;
// - direction of a floor exit (1 back, 2 on): the another-option value;
// - hidden strength (a weapon's or shield's own unidentified flag): shows base values only.
#include <cstdint>

#include "game/item/CItem.h"

namespace Fenwarrow::SceneLayer::ItemRules {

inline bool isLocked(const Item::CItem& item) { return item.getStatus().getFrozen(); }
inline bool isNoPickUp(const Item::CItem& item) { return item.getStatus().getUseIfTaken(); }
inline bool needsTarget(const Item::CItem& item) { return item.getStatus().getPoppable(); }
inline int32_t getDirection(const Item::CItem& item) { return item.getStatus().getAnotherOption(); }
// Cards, cakes and drugs go through the mouth.
inline bool usesMouth(const Item::CItem& item) {
    const int32_t type = item.getItemType();
    return type == Item::CItem::kCard || type == Item::CItem::kCake || type == Item::CItem::kDrug;
}

}  // namespace Fenwarrow::SceneLayer::ItemRules
