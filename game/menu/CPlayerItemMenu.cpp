#include "game/menu/CPlayerItemMenu.h"

#include "game/actor/CActor.h"

namespace Fenwarrow::SceneLayer {

void CPlayerItemMenu::rebuildList() {
    items_.clear();
    if (Actor::CActor* player = getPlayer()) {
        items_.assign(player->getItemList().begin(), player->getItemList().end());
    }
    CItemMenu::rebuildList();
}

}  // namespace Fenwarrow::SceneLayer
