#include "game/menu/CRootMenu.h"

#include <boost/any.hpp>

#include "engine/system/OxWideFormat.h"
#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"
#include "game/menu/CGameMenu.h"

namespace Fenwarrow::SceneLayer {

namespace {

constexpr uint32_t kKeyCancel = 6;
constexpr const char16_t* kStatusFormat =
    u"<0:POSX>武器の強さ<1:POSX>%d<2:POSX>満腹度<3:POSX>%d/%d\n"
    u"<0:POSX>防具の強さ<1:POSX>%d<2:POSX>ちから<3:POSX>%d/%d\n"
    u"<2:POSX>経験値<3:POSX>%d";

}  // namespace

CRootMenu::CRootMenu(CGameMenu& owner) : CMenuBase(owner), statusWindow_(createMenuWindow()) {
    if (const std::shared_ptr<CGeneralWindow>& window = getWindow()) {
        placeWindow(*window, CGeneralWindow::kModeList, 10.0f, 100.0f, 220.0f, 270.0f);
        window->showTitle = true;
        window->title = u"メニュー";
        for (const char16_t* label : {u"持ち物", u"足元", u"その他", u"中断"}) {
            window->addListItemEx(
                label, [this](CGeneralWindow::CListItem*, int32_t index) { onSelect(index); }, 0);
        }
        window->setSelectItemIndex(0);
    }
    if (statusWindow_) {
        placeWindow(*statusWindow_, CGeneralWindow::kModeText, 50.0f, 400.0f, 700.0f, 190.0f);
        // The pen x positions of the label and value columns.
        statusWindow_->setParameters({16.0f, 200.0f, 300.0f, 460.0f});
    }
}

std::u16string CRootMenu::buildStatusText() const {
    const Actor::CActor* player = getPlayer();
    if (player == nullptr) {
        return {};
    }
    const std::shared_ptr<Item::CItem> weapon = player->getEquippedWeaponItem();
    const std::shared_ptr<Item::CItem> shield = player->getEquippedShieldItem();
    const Actor::CActorStatus& status = player->getStatus();
    return Orvex::System::formatWide(
        kStatusFormat, weapon ? weapon->getStatus().getAttack() : 0, static_cast<int32_t>(status.getHungerPoint()),
        static_cast<int32_t>(status.getMaxHungerPoint()), shield ? shield->getStatus().getDefense() : 0,
        status.getForce(), status.getMaxForce(), status.getEXP());
}

void CRootMenu::onOpen() {
    if (const std::shared_ptr<CGeneralWindow>& window = getWindow()) {
        window->setSelectItemIndex(0);
    }
    if (statusWindow_) {
        statusWindow_->text = buildStatusText();
    }
}

void CRootMenu::update(float elapsedSeconds) {
    if (isKeyPushed(kKeyCancel)) {
        getOwner().back();
        playSystemSE(CGameMenu::kSoundCancel);
        return;
    }
    // The main window's update may run an entry that replaces this screen; keep it alive.
    const std::shared_ptr<CGeneralWindow> window = getWindow();
    if (window) {
        window->update(elapsedSeconds);
    }
    if (statusWindow_) {
        statusWindow_->update(elapsedSeconds);
    }
}

void CRootMenu::draw() {
    if (getWindow()) {
        getWindow()->draw();
    }
    if (statusWindow_) {
        statusWindow_->draw();
    }
}

bool CRootMenu::isHandsBound() const { return getPlayer() != nullptr && getPlayer()->hasCondition(kMobblyCondition); }

void CRootMenu::onSelect(int32_t index) {
    switch (index) {
        case 0:
            if (!isHandsBound()) {
                getOwner().openMenu(u"ItemMenu", true);
            }
            break;
        case 1: {
            if (isHandsBound() || getPlayer() == nullptr) {
                break;
            }
            Dungeon::CDungeon* floor = getOwner().getContext().getCurrentDungeon();
            const Dungeon::CMapCell* cell = getPlayer()->getCell();
            if (floor == nullptr || cell == nullptr) {
                break;
            }
            bool itemHere = false;
            for (const Dungeon::CCellObject* object : cell->objects) {
                if (object != nullptr && object->getCellObjectType() == Dungeon::CCellObject::kItem) {
                    itemHere = true;
                    break;
                }
            }
            std::shared_ptr<Item::CItem> item = itemHere ? floor->getCellItem(cell) : nullptr;
            if (item) {
                getOwner().openItemMenu(u"SimpleActionItemMenu", true, {item}, u"足元", nullptr, true);
            }
            break;
        }
        case 2:
            getOwner().openMenu(u"OtherMenu", true);
            break;
        case 3:
            getOwner().openMenu(u"ReserveMenu", false);
            break;
        default:
            break;
    }
}

}  // namespace Fenwarrow::SceneLayer
