#pragma once
// The root's "その他": the entry to the message history.
#include "game/menu/CMenuBase.h"

namespace Fenwarrow::SceneLayer {

class COtherMenu : public CMenuBase {
public:
    explicit COtherMenu(CGameMenu& owner);

    void update(float elapsedSeconds) override;
    void draw() override;
};

}  // namespace Fenwarrow::SceneLayer
