#pragma once
// The first screen of the in-game menu: the inventory, the item at the player's feet, the
// other menus and the give-up, with a panel of the player's equipment strength, fullness,
// strength and experience below.
#include <memory>
#include <string>

#include "game/menu/CMenuBase.h"

namespace Fenwarrow::SceneLayer {

class CRootMenu : public CMenuBase {
public:
    // The condition that keeps the player's hands off the items.
    static constexpr int32_t kMobblyCondition = 21;

    explicit CRootMenu(CGameMenu& owner);

    void update(float elapsedSeconds) override;
    void draw() override;
    void onOpen() override;

    // The panel's text for the player as it is now.
    std::u16string buildStatusText() const;
    const std::shared_ptr<CGeneralWindow>& getStatusWindow() const { return statusWindow_; }

private:
    void onSelect(int32_t index);
    bool isHandsBound() const;

    std::shared_ptr<CGeneralWindow> statusWindow_;
};

}  // namespace Fenwarrow::SceneLayer
