#include "game/menu/CLogMenu.h"

#include <algorithm>
#include <string>
#include <vector>

#include "game/action/IActionContext.h"
#include "game/dungeon/CDungeon.h"
#include "game/menu/CGameMenu.h"

namespace Fenwarrow::SceneLayer {

namespace {

constexpr uint32_t kKeyUp = 0;
constexpr uint32_t kKeyRight = 1;
constexpr uint32_t kKeyDown = 2;
constexpr uint32_t kKeyLeft = 3;
constexpr uint32_t kKeyCancel = 6;

const std::vector<std::u16string>* history(CGameMenu& owner) {
    Dungeon::CDungeon* floor = owner.getContext().getCurrentDungeon();
    return floor != nullptr ? &floor->getLogManager().getHistory() : nullptr;
}

}  // namespace

CLogMenu::CLogMenu(CGameMenu& owner) : CMenuBase(owner) {
    if (const std::shared_ptr<CGeneralWindow>& window = getWindow()) {
        placeWindow(*window, CGeneralWindow::kModeText, 10.0f, 100.0f, 700.0f, 500.0f);
        window->showTitle = true;
        window->title = u"履歴";
    }
}

void CLogMenu::onOpen() {
    const std::vector<std::u16string>* lines = history(getOwner());
    scrollLine_ = lines != nullptr ? static_cast<int32_t>(lines->size()) - 1 : -1;
    rebuild();
}

void CLogMenu::rebuild() {
    const std::vector<std::u16string>* lines = history(getOwner());
    const int32_t count = lines != nullptr ? static_cast<int32_t>(lines->size()) : 0;
    const std::shared_ptr<CGeneralWindow>& window = getWindow();
    if (count == 0) {
        // A floor without lines shows an empty page, never the lines of an earlier floor.
        scrollLine_ = 0;
        if (window) {
            window->text.clear();
        }
        return;
    }
    // The first full page (lines 0 to 9) is as far up as the page goes; the newest line as
    // far down.
    scrollLine_ = std::max(scrollLine_, kPageLines - 1);
    scrollLine_ = std::min(scrollLine_, count - 1);
    const int32_t shown = std::min(kPageLines, count);
    std::u16string text;
    for (int32_t i = 0; i < shown && scrollLine_ - i >= 0; ++i) {
        text = (*lines)[static_cast<std::size_t>(scrollLine_ - i)] + u"\n" + text;
    }
    if (window) {
        window->text = std::move(text);
    }
}

void CLogMenu::update(float elapsedSeconds) {
    if (isKeyPushed(kKeyCancel)) {
        getOwner().back();
        playSystemSE(CGameMenu::kSoundCancel);
        return;
    }
    bool moved = true;
    if (isKeyRepeat(kKeyUp)) {
        scrollLine_ -= 1;
    } else if (isKeyRepeat(kKeyDown)) {
        scrollLine_ += 1;
    } else {
        moved = false;
    }
    if (moved) {
        rebuild();
        playSystemSE(CGameMenu::kSoundCursor);
    }
    moved = true;
    if (isKeyRepeat(kKeyLeft)) {
        scrollLine_ -= kPageLines;
    } else if (isKeyRepeat(kKeyRight)) {
        scrollLine_ += kPageLines;
    } else {
        moved = false;
    }
    if (moved) {
        rebuild();
        playSystemSE(CGameMenu::kSoundCursor);
    }
    if (getWindow()) {
        getWindow()->update(elapsedSeconds);
    }
}

void CLogMenu::draw() {
    if (getWindow()) {
        getWindow()->draw();
    }
}

}  // namespace Fenwarrow::SceneLayer
