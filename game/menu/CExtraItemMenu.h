#pragma once
// An item list handed over by its opener, shown like the inventory.
#include "game/menu/CItemMenu.h"

namespace Fenwarrow::SceneLayer {

class CExtraItemMenu : public CItemMenu {
public:
    explicit CExtraItemMenu(CGameMenu& owner) : CItemMenu(owner) {}
};

}  // namespace Fenwarrow::SceneLayer
