#include "game/menu/CReserveMenu.h"

#include "game/action/IActionContext.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/menu/CGameMenu.h"
#include "game/services/CSettingDataManager.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::SceneLayer {

namespace {
constexpr uint32_t kKeyCancel = 6;
}

CReserveMenu::CReserveMenu(CGameMenu& owner) : CMenuBase(owner), confirmWindow_(createMenuWindow()) {
    if (const std::shared_ptr<CGeneralWindow>& window = getWindow()) {
        placeWindow(*window, CGeneralWindow::kModeList, 100.0f, 250.0f, 200.0f, 40.0f);
        window->addListItemEx(
            u"断念する", [this](CGeneralWindow::CListItem*, int32_t) { onGiveUpChosen(); }, 0);
        window->setSelectItemIndex(0);
        window->focused = true;
    }
    if (confirmWindow_) {
        placeWindow(*confirmWindow_, CGeneralWindow::kModeList, 256.0f, 220.0f, 430.0f, 200.0f);
        confirmWindow_->showTitle = true;
        confirmWindow_->title = u"本当によろしいですか？";
        for (const char16_t* label : {u"はい", u"いいえ"}) {
            confirmWindow_->addListItemEx(
                label, [this](CGeneralWindow::CListItem*, int32_t index) { onConfirm(index); }, 0);
        }
        confirmWindow_->setSelectItemIndex(0);
        confirmWindow_->focused = false;
    }
}

void CReserveMenu::update(float elapsedSeconds) {
    if (isKeyPushed(kKeyCancel)) {
        if (!confirming_) {
            getOwner().back();
            playSystemSE(CGameMenu::kSoundCancel);
        } else {
            // Back to the give-up entry, still inside this screen.
            confirming_ = false;
            if (confirmWindow_) {
                confirmWindow_->setSelectItemIndex(0);
            }
        }
        return;
    }
    const std::shared_ptr<CGeneralWindow> window = getWindow();
    if (window) {
        window->focused = !confirming_;
    }
    if (confirmWindow_) {
        confirmWindow_->focused = confirming_;
    }
    if (window) {
        window->update(elapsedSeconds);
    }
    if (confirming_ && confirmWindow_) {
        confirmWindow_->update(elapsedSeconds);
    }
}

void CReserveMenu::draw() {
    if (getWindow()) {
        getWindow()->draw();
    }
    if (confirming_ && confirmWindow_) {
        confirmWindow_->draw();
    }
}

void CReserveMenu::onGiveUpChosen() {
    const std::shared_ptr<CGeneralWindow>& window = getWindow();
    if (!window || !window->focused) {
        return;
    }
    confirming_ = true;
    chosenEntry_ = window->getSelectedItemIndex();
    playSystemSE(CGameMenu::kSoundDecide);
}

void CReserveMenu::onConfirm(int32_t index) {
    if (!confirmWindow_ || !confirmWindow_->focused) {
        return;
    }
    if (index == 0) {
        giveUp();
    } else if (index == 1) {
        confirming_ = false;
    }
}

void CReserveMenu::giveUp() {
    chosenEntry_ = 1;
    Action::IActionContext& context = getOwner().getContext();
    if (Dungeon::CDungeon* floor = context.getCurrentDungeon()) {
        floor->requestExitScene(kSceneResult);
        // The result scene reads the give-up from the result record.
        if (CSettingDataManager* settings = floor->getServices().getSettingDataManager()) {
            settings->getResultSetting().flags[kResultGaveUp] = 1;
        }
    }
    if (CGameDataManager* data = context.getGameContext().getGameDataManager()) {
        data->stopBGM();
    }
    getOwner().clearStack();
}

}  // namespace Fenwarrow::SceneLayer
