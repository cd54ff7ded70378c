#pragma once
// The player's inventory ("持ち物"), with a last page for the item at the player's feet.
#include "game/menu/CItemMenu.h"

namespace Fenwarrow::SceneLayer {

class CPlayerItemMenu : public CItemMenu {
public:
    explicit CPlayerItemMenu(CGameMenu& owner) : CItemMenu(owner) {}

    // Takes the player's items as they are now.
    void rebuildList() override;
};

}  // namespace Fenwarrow::SceneLayer
