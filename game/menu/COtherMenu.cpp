#include "game/menu/COtherMenu.h"

#include "game/menu/CGameMenu.h"

namespace Fenwarrow::SceneLayer {

namespace {
constexpr uint32_t kKeyCancel = 6;
}

COtherMenu::COtherMenu(CGameMenu& owner) : CMenuBase(owner) {
    if (const std::shared_ptr<CGeneralWindow>& window = getWindow()) {
        placeWindow(*window, CGeneralWindow::kModeList, 10.0f, 100.0f, 220.0f, 270.0f);
        window->showTitle = true;
        window->title = u"その他";
        window->addListItemEx(
            u"履歴",
            [this](CGeneralWindow::CListItem*, int32_t index) {
                if (index == 0) {
                    getOwner().openMenu(u"LogMenu", true);
                }
            },
            0);
        window->setSelectItemIndex(0);
    }
}

void COtherMenu::update(float elapsedSeconds) {
    if (isKeyPushed(kKeyCancel)) {
        getOwner().back();
        playSystemSE(CGameMenu::kSoundCancel);
        return;
    }
    const std::shared_ptr<CGeneralWindow> window = getWindow();
    if (window) {
        window->update(elapsedSeconds);
    }
}

void COtherMenu::draw() {
    if (getWindow()) {
        getWindow()->draw();
    }
}

}  // namespace Fenwarrow::SceneLayer
