#include "game/menu/CItemMenu.h"

#include <algorithm>

#include "engine/system/OxWideFormat.h"
#include "game/action/CActionManager.h"
#include "game/action/CPopItemAction.h"
#include "game/action/CPushItemAction.h"
#include "game/action/CTakeItemAction.h"
#include "game/action/CTimerAction.h"
#include "game/action/CUseItemAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/menu/CGameMenu.h"
#include "game/menu/CItemRules.h"
#include "game/menu/CRenameLayer.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::SceneLayer {

namespace {

constexpr uint32_t kKeyRight = 1;
constexpr uint32_t kKeyLeft = 3;
constexpr uint32_t kKeyDecide = 5;
constexpr uint32_t kKeyCancel = 6;
constexpr uint32_t kKeySort = 10;
constexpr float kEquipWaitSeconds = 0.5f;
constexpr uint32_t kAttachScriptMemory = 0x20000;

// Breaks every line of the text after at most `width` characters.
std::u16string wrapLines(const std::u16string& text, std::size_t width) {
    std::u16string out;
    std::size_t column = 0;
    for (char16_t c : text) {
        if (c == u'\n') {
            out += c;
            column = 0;
            continue;
        }
        if (column == width) {
            out += u'\n';
            column = 0;
        }
        out += c;
        ++column;
    }
    return out;
}

}  // namespace

CItemMenu::CItemMenu(CGameMenu& owner)
    : CMenuBase(owner),
      actionWindow_(createMenuWindow()),
      infoWindow_(createMenuWindow()),
      compareWindow_(createMenuWindow()) {
    if (actionWindow_) {
        placeWindow(*actionWindow_, CGeneralWindow::kModeList, 580.0f, 95.0f, 210.0f, 64.0f);
    }
    if (infoWindow_) {
        placeWindow(*infoWindow_, CGeneralWindow::kModeText, 20.0f, 140.0f, 760.0f, 450.0f);
        infoWindow_->showTitle = true;
    }
    if (compareWindow_) {
        placeWindow(*compareWindow_, CGeneralWindow::kModeText, 580.0f, 400.0f, 210.0f, 200.0f);
    }
}

Dungeon::CDungeon* CItemMenu::getFloor() const { return getOwner().getContext().getCurrentDungeon(); }

std::shared_ptr<Item::CItem> CItemMenu::getFeetItem() const {
    Dungeon::CDungeon* floor = getFloor();
    const Dungeon::CMapCell* cell = getPlayer() != nullptr ? getPlayer()->getCell() : nullptr;
    return floor != nullptr && cell != nullptr ? floor->getCellItem(cell) : nullptr;
}

bool CItemMenu::isEquipped(const Item::CItem& item) const {
    const Actor::CActor* player = getPlayer();
    return player != nullptr &&
           (player->getEquippedWeaponItem().get() == &item || player->getEquippedShieldItem().get() == &item ||
            player->getEquippedAmuletItem().get() == &item);
}

bool CItemMenu::isMouthSealed() const {
    return getPlayer() != nullptr && (getPlayer()->getStatus().getStabilityBits() & kMouthSealedBits) != 0;
}

std::u16string CItemMenu::buildEntryText(const Item::CItem& item) const {
    const std::u16string name = item.getDisplayName(true);
    const bool blessed = item.getStatus().getBlessed();
    if (isEquipped(item)) {
        return blessed ? u"<#Blessed:HICON><#-1:OFFSET><#Equipped:HICON>" + name : u"<#Equipped:HICON>" + name;
    }
    return blessed ? u"<#Blessed:HICON>" + name : u" " + name;
}

void CItemMenu::buildPages(const std::u16string& caption, bool withFeet) {
    pages_.clear();
    auto makePage = [this](const std::u16string& title) {
        std::shared_ptr<CGeneralWindow> page = createMenuWindow();
        if (page) {
            placeWindow(*page, CGeneralWindow::kModeList, 5.0f, 95.0f, 570.0f, 505.0f);
            page->showTitle = true;
            page->title = title;
        }
        pages_.push_back(page);
        return page;
    };
    const std::size_t pageCount = std::max<std::size_t>(1, (items_.size() + kItemsPerPage - 1) / kItemsPerPage);
    for (std::size_t p = 0; p < pageCount; ++p) {
        std::shared_ptr<CGeneralWindow> page =
            makePage(caption.empty() ? Orvex::System::formatWide(u"持ち物%d", static_cast<int32_t>(p + 1)) : caption);
        if (!page) {
            continue;
        }
        for (std::size_t i = p * kItemsPerPage; i < std::min(items_.size(), (p + 1) * kItemsPerPage); ++i) {
            const std::shared_ptr<Item::CItem>& item = items_[i];
            if (!item) {
                continue;
            }
            page->addListItemEx(
                buildEntryText(*item), [this, item](CGeneralWindow::CListItem*, int32_t) { onItemChosen(item); }, 0);
        }
    }
    if (withFeet) {
        std::shared_ptr<CGeneralWindow> page = makePage(u"足元");
        if (std::shared_ptr<Item::CItem> item = getFeetItem(); page && item) {
            const std::u16string name = item->getDisplayName(true);
            page->addListItemEx(
                item->getStatus().getBlessed() ? u"<#Blessed:HICON>" + name : u" " + name,
                [this, item](CGeneralWindow::CListItem*, int32_t) { onItemChosen(item); }, 0);
        }
    }
    if (!pages_.empty() && pages_.front()) {
        pages_.front()->setSelectItemIndex(0);
    }
}

void CItemMenu::rebuildList() { buildPages(u"", true); }

void CItemMenu::onOpen() {
    rebuildList();
    pageIndex_ = 0;
    actionShown_ = false;
    infoShown_ = false;
    compareShown_ = false;
    if (std::shared_ptr<CGeneralWindow> page = currentPage()) {
        page->setSelectItemIndex(0);
    }
}

std::shared_ptr<CGeneralWindow> CItemMenu::currentPage() const {
    return pageIndex_ >= 0 && static_cast<std::size_t>(pageIndex_) < pages_.size()
               ? pages_[static_cast<std::size_t>(pageIndex_)]
               : nullptr;
}

void CItemMenu::update(float elapsedSeconds) {
    // The windows' updates may run a handler that rebuilds the pages; hold what is updated.
    if (infoShown_) {
        if (isKeyPushed(kKeyCancel)) {
            infoShown_ = false;
            playSystemSE(CGameMenu::kSoundCancel);
        } else if (isKeyPushed(kKeyDecide)) {
            infoShown_ = false;
            playSystemSE(CGameMenu::kSoundDecide);
        } else if (infoWindow_) {
            infoWindow_->update(elapsedSeconds);
        }
    } else if (actionShown_) {
        if (isKeyPushed(kKeyCancel)) {
            if (actionWindow_) {
                actionWindow_->focused = false;
            }
            actionShown_ = false;
            compareShown_ = false;
            playSystemSE(CGameMenu::kSoundCancel);
        }
        if (const std::shared_ptr<CGeneralWindow> window = actionWindow_) {
            window->update(elapsedSeconds);
        }
    } else {
        if (std::shared_ptr<CGeneralWindow> page = currentPage()) {
            page->focused = true;
        }
        const int32_t pageCount = static_cast<int32_t>(pages_.size());
        if (isKeyPushed(kKeyCancel)) {
            getOwner().back();
            playSystemSE(CGameMenu::kSoundCancel);
        } else if (isKeyRepeat(kKeyLeft) && pageCount > 0) {
            pageIndex_ = pageIndex_ - 1 < 0 ? pageCount - 1 : pageIndex_ - 1;
            if (std::shared_ptr<CGeneralWindow> page = currentPage()) {
                page->setSelectItemIndex(0);
            }
            playSystemSE(CGameMenu::kSoundCursor);
        } else if (isKeyRepeat(kKeyRight) && pageCount > 0) {
            pageIndex_ = pageIndex_ + 1 >= pageCount ? 0 : pageIndex_ + 1;
            if (std::shared_ptr<CGeneralWindow> page = currentPage()) {
                page->setSelectItemIndex(0);
            }
            playSystemSE(CGameMenu::kSoundCursor);
        } else if (isKeyPushed(kKeySort)) {
            if (CGameDataManager* data = getOwner().getContext().getGameContext().getGameDataManager()) {
                data->sortPlayerItems();
            }
            rebuildList();
            pageIndex_ = std::min<int32_t>(pageIndex_, static_cast<int32_t>(pages_.size()) - 1);
            playSystemSE(CGameMenu::kSoundDecide);
        }
    }
    if (const std::shared_ptr<CGeneralWindow> page = currentPage()) {
        page->update(elapsedSeconds);
    }
    if (compareWindow_) {
        compareWindow_->update(elapsedSeconds);
    }
}

void CItemMenu::draw() {
    if (infoShown_) {
        if (infoWindow_) {
            infoWindow_->draw();
        }
        return;
    }
    if (std::shared_ptr<CGeneralWindow> page = currentPage()) {
        page->draw();
    }
    if (compareShown_ && compareWindow_) {
        compareWindow_->draw();
    }
    if (actionShown_ && actionWindow_) {
        actionWindow_->draw();
    }
}

void CItemMenu::addAction(const std::u16string& label, std::function<void()> handler) {
    if (actionWindow_) {
        actionWindow_->addListItemEx(
            label, [handler = std::move(handler)](CGeneralWindow::CListItem*, int32_t) { handler(); }, 0);
    }
}

void CItemMenu::onItemChosen(const std::shared_ptr<Item::CItem>& item) {
    if (!actionWindow_ || !item) {
        return;
    }
    actionWindow_->clearListItem();
    fillActions(item);
    const float size[2] = {210.0f, 64.0f + 40.0f * static_cast<float>(actionWindow_->getListItemCount())};
    actionWindow_->setWindowSize(size);
    actionWindow_->setSelectItemIndex(0);
    if (std::shared_ptr<CGeneralWindow> page = currentPage()) {
        page->focused = false;
    }
    actionWindow_->focused = true;
    actionShown_ = true;
    const auto [text, filled] = buildCompareText(*item);
    if (compareWindow_) {
        compareWindow_->text = text;
    }
    compareShown_ = filled;
}

void CItemMenu::fillActions(const std::shared_ptr<Item::CItem>& item) {
    addEquipEntries(item);
    addItemActions(item);
    addClosingEntries(item);
}

void CItemMenu::addEquipEntries(const std::shared_ptr<Item::CItem>& item) {
    if (item == getFeetItem() || getPlayer() == nullptr) {
        return;
    }
    std::shared_ptr<Item::CItem> equipped;
    switch (item->getItemType()) {
        case Item::CItem::kShield:
            equipped = getPlayer()->getEquippedShieldItem();
            break;
        case Item::CItem::kWeapon:
            equipped = getPlayer()->getEquippedWeaponItem();
            break;
        case Item::CItem::kAmulet:
            equipped = getPlayer()->getEquippedAmuletItem();
            break;
        default:
            return;
    }
    if (equipped == item) {
        if (!item->getStatus().getCurse()) {
            addAction(u"はずす", [this, item] { unequip(item); });
        }
    } else if (!ItemRules::isLocked(*item) && !(equipped && equipped->getStatus().getCurse())) {
        addAction(u"装備", [this, item] { equip(item); });
    }
}

void CItemMenu::addItemActions(const std::shared_ptr<Item::CItem>& item) {
    const bool onFloor = item->getCell() != nullptr;
    if (onFloor && !ItemRules::isNoPickUp(*item)) {
        addAction(u"ひろう", [this, item] { pickUp(item); });
    }
    const bool cursed = item->getStatus().getCurse();
    if (!cursed && !ItemRules::isLocked(*item)) {
        auto use = [this, item] { useItem(item); };
        switch (item->getItemType()) {
            case Item::CItem::kTag:
                addAction(u"使う", use);
                break;
            case Item::CItem::kCard:
                if (ItemRules::needsTarget(*item)) {
                    addAction(u"使う", [this, item] { openTargetList(item, 0); });
                } else {
                    addAction(u"使う", use);
                }
                break;
            case Item::CItem::kHollow:
                if (!(item->getItemID() == kPeekLimitedHolderId && item->getStatus().getUseCount() == 0)) {
                    addAction(u"のぞく", [this, item] { openTargetList(item, 1); });
                }
                if (!item->getPushScriptFileName().empty()) {
                    addAction(u"入れる", [this, item] { openTargetList(item, 2); });
                }
                if (!item->getActionScriptFileName().empty()) {
                    addAction(u"使う", use);
                }
                break;
            case Item::CItem::kMoney:
            case Item::CItem::kPower:
                addAction(u"拾う", use);
                break;
            case Item::CItem::kCake:
                addAction(u"食べる", use);
                break;
            case Item::CItem::kDrug:
                addAction(u"飲む", use);
                break;
            case Item::CItem::kOther: {
                const int32_t direction = ItemRules::getDirection(*item);
                addAction(direction == 1 ? u"もどる" : direction == 2 ? u"すすむ" : u"使う", use);
                break;
            }
            case Item::CItem::kTrap:
                addAction(u"ふむ", use);
                break;
            default:
                break;
        }
    }
    if (cursed && isEquipped(*item)) {
        return;
    }
    if (!item->getThrowScriptFileName().empty()) {
        addAction(u"投げる", [this, item] { dropItem(item, "doThrowItem"); });
    }
    if (!onFloor) {
        addAction(u"置く", [this, item] { dropItem(item, "doPutItem"); });
        if (std::shared_ptr<Item::CItem> feet = getFeetItem(); feet && !ItemRules::isNoPickUp(*feet)) {
            addAction(u"交換", [this, item] { exchange(item); });
        }
    }
}

void CItemMenu::addClosingEntries(const std::shared_ptr<Item::CItem>& item) {
    const int32_t type = item->getItemType();
    if (type != Item::CItem::kShield && type != Item::CItem::kWeapon && item->getUnidentified()) {
        addAction(u"名前", [this, item] { rename(item); });
    } else {
        addAction(u"説明", [this, item] { showDescription(*item); });
    }
    addAction(u"閉じる", [this] { hideActionWindow(); });
}

void CItemMenu::hideActionWindow() {
    if (actionWindow_) {
        actionWindow_->focused = false;
    }
    actionShown_ = false;
    compareShown_ = false;
}

void CItemMenu::finish() {
    hideActionWindow();
    getOwner().back();
}

void CItemMenu::endPlayerTurn() {
    if (getPlayer() != nullptr) {
        getPlayer()->setTurnState(0);
    }
}

void CItemMenu::callPlayerCommand(const char* command, const std::vector<void*>& arguments) {
    if (getPlayer() != nullptr) {
        getPlayer()->callCommand(command, arguments);
    }
}

void CItemMenu::pushTimerAction() {
    Action::IActionContext& context = getOwner().getContext();
    if (Action::CActionManager* actions = context.getActionManager()) {
        actions->pushAction(std::make_shared<Action::CTimerAction>(context, kEquipWaitSeconds));
    }
}

void CItemMenu::useItem(const std::shared_ptr<Item::CItem>& item) {
    if (isMouthSealed() && ItemRules::usesMouth(*item)) {
        if (Dungeon::CDungeon* floor = getFloor()) {
            floor->getLogManager().addLogMessage(u"今は口が使えない！");
        }
        finish();
        return;
    }
    if (Item::CItem* holder = item->getHolder(); holder != nullptr && holder->getItemID() == kPeekLimitedHolderId) {
        const uint32_t count = holder->getStatus().getUseCount();
        holder->getStatus().setUseCount(count > 0 ? count - 1 : 0);
    }
    // Hold the item while the script uses it up.
    const std::shared_ptr<Item::CItem> keep = item;
    finish();
    callPlayerCommand("doItem", {keep.get()});
}

void CItemMenu::dropItem(const std::shared_ptr<Item::CItem>& item, const char* command) {
    Actor::CActor* player = getPlayer();
    if (player == nullptr) {
        finish();
        return;
    }
    if (isEquipped(*item)) {
        player->detachEquippedItem(item.get(), true);
    }
    if (item->getHolder() != nullptr) {
        if (std::shared_ptr<Item::CItem> taken = item->removeFromHolder()) {
            player->addItem(taken);
        }
    } else if (item->getCell() != nullptr) {
        if (Dungeon::CDungeon* floor = getFloor()) {
            floor->toPlayerItem(item.get());
        }
    }
    const std::shared_ptr<Item::CItem> keep = item;
    finish();
    callPlayerCommand(command, {keep.get()});
}

void CItemMenu::pickUp(const std::shared_ptr<Item::CItem>& item) {
    Action::IActionContext& context = getOwner().getContext();
    if (Action::CActionManager* actions = context.getActionManager(); actions != nullptr && getPlayer() != nullptr) {
        actions->pushAction(std::make_shared<Action::CTakeItemAction>(context, getPlayer(), item.get()));
        endPlayerTurn();
    }
    finish();
}

void CItemMenu::unequip(const std::shared_ptr<Item::CItem>& item) {
    if (getPlayer() != nullptr) {
        getPlayer()->detachEquippedItem(item.get(), true);
        pushTimerAction();
        endPlayerTurn();
    }
    finish();
}

void CItemMenu::equip(const std::shared_ptr<Item::CItem>& item) {
    Actor::CActor* player = getPlayer();
    if (player == nullptr) {
        finish();
        return;
    }
    switch (item->getItemType()) {
        case Item::CItem::kShield:
            player->setEquippedShieldItem(item.get());
            player->getExtraSprite(Actor::CActor::kShieldSprite)->clear();
            break;
        case Item::CItem::kWeapon:
            player->setEquippedWeaponItem(item.get());
            player->getExtraSprite(Actor::CActor::kWeaponSprite)->clear();
            break;
        case Item::CItem::kAmulet:
            player->setEquippedAmuletItem(item.get());
            break;
        default:
            break;
    }
    IGameContext& game = getOwner().getContext().getGameContext();
    if (!item->getAttachScriptFileName().empty()) {
        CScriptController script(game);
        if (script.loadScript(item->getAttachScriptFileName(), kAttachScriptMemory)) {
            // The menu's host has no Actor or sprite module; the script dresses what it can.
            for (ScriptModule module :
                 {ScriptModule::kGame, ScriptModule::kDungeon, ScriptModule::kAudio, ScriptModule::kItem}) {
                if (std::shared_ptr<IScriptCommand> command = game.createScriptModule(module)) {
                    script.attachCommand(std::move(command));
                }
            }
            if (script.runMain()) {
                ScriptArguments::lendObject(script.getLuaState(), player);
                ScriptArguments::lendObject(script.getLuaState(), item.get());
                std::vector<CScriptValue> results;
                script.callFunction(
                    results, "attach", 0,
                    {CScriptValue(static_cast<void*>(player)), CScriptValue(static_cast<void*>(item.get()))});
            }
        }
    }
    pushTimerAction();
    endPlayerTurn();
    finish();
}

void CItemMenu::exchange(const std::shared_ptr<Item::CItem>& item) {
    Dungeon::CDungeon* floor = getFloor();
    std::shared_ptr<Item::CItem> feet = getFeetItem();
    Actor::CActor* player = getPlayer();
    if (floor == nullptr || !feet || player == nullptr) {
        finish();
        return;
    }
    if (player->getStatus().getStabilityState(Action::CTakeItemAction::kCannotLiftBit)) {
        floor->getLogManager().addLogMessage(feet->getDisplayName(false) + u"は" + u"重くて拾う事が出来ない。");
        finish();
        return;
    }
    floor->toPlayerItem(feet.get());
    dropItem(item, "doPutItem");
}

void CItemMenu::rename(const std::shared_ptr<Item::CItem>& item) {
    Dungeon::CDungeon* floor = getFloor();
    CSceneLayerManager* layers = floor != nullptr ? floor->getServices().getSceneLayerManager() : nullptr;
    if (layers != nullptr) {
        layers->addLayer(std::make_shared<CRenameLayer>(getOwner().getContext(), item.get()));
    }
    finish();
}

void CItemMenu::openTargetList(const std::shared_ptr<Item::CItem>& item, int32_t kind) {
    Action::IActionContext& context = getOwner().getContext();
    Actor::CActor* player = getPlayer();
    if (player == nullptr) {
        return;
    }
    ItemList playerItems(player->getItemList().begin(), player->getItemList().end());
    hideActionWindow();
    switch (kind) {
        case 0:
            getOwner().openItemMenu(u"SimpleActionItemMenu", true, playerItems, u"",
                                    std::make_shared<Action::CUseItemAction>(context, player, item.get(), nullptr),
                                    false);
            break;
        case 1: {
            ItemList contents(item->getItemList().begin(), item->getItemList().end());
            getOwner().openItemMenu(u"SimpleActionItemMenu", true, contents, item->getDisplayName(false),
                                    std::make_shared<Action::CPopItemAction>(context, player, item.get(), nullptr),
                                    true);
            break;
        }
        default:
            getOwner().openItemMenu(u"SimpleActionItemMenu", true, playerItems, u"",
                                    std::make_shared<Action::CPushItemAction>(context, player, item.get(), nullptr),
                                    false);
            break;
    }
}

std::pair<std::u16string, bool> CItemMenu::buildCompareText(const Item::CItem& item) const {
    std::u16string first;
    std::u16string second;
    bool filled = false;
    const int32_t type = item.getItemType();
    if ((type == Item::CItem::kShield || type == Item::CItem::kWeapon) && getPlayer() != nullptr) {
        const bool hidden = item.getStatus().getUnidentified();
        const Item::CItemStatus& status = item.getStatus();
        const int32_t value = type == Item::CItem::kShield ? (hidden ? status.getBaseDefense() : status.getDefense())
                                                           : (hidden ? status.getBaseAttack() : status.getAttack());
        first = Orvex::System::formatWide(type == Item::CItem::kShield ? u" 防御%d" : u" 攻撃%d", value);
        filled = true;
        const std::shared_ptr<Item::CItem> equipped =
            type == Item::CItem::kShield ? getPlayer()->getEquippedShieldItem() : getPlayer()->getEquippedWeaponItem();
        if (equipped && !hidden) {
            const int32_t other =
                type == Item::CItem::kShield ? equipped->getStatus().getDefense() : equipped->getStatus().getAttack();
            if (value > other) {
                second = Orvex::System::formatWide(u" <1:COLOR>↑%d</COLOR>", value - other);
            } else if (value < other) {
                second = Orvex::System::formatWide(u" <3:COLOR>↓%d</COLOR>", other - value);
            } else {
                second = u"  ---";
            }
        }
    }
    std::u16string text = Orvex::System::formatWide(u"%s\n%s\n", first, second);
    if (item.getStatus().isShopItem()) {
        text = Orvex::System::formatWide(u"%s%6d円", text, item.getPrice());
        filled = true;
    }
    return {text, filled};
}

std::u16string CItemMenu::buildDescription(const Item::CItem& item) {
    // A heading shows only over something to list: races have no names of their own, so their
    // bonuses are never listed, and most items carry no ability at all.
    std::u16string abilities;
    const Item::CItemStatus& status = item.getStatus();
    for (uint32_t slot = 0; slot < status.getSlotCount(); ++slot) {
        const uint32_t ability = status.getSlotAbility(slot);
        if (ability == 0) {
            continue;
        }
        if (const char16_t* name = Item::CItemFactory::getSlotAbilityName(static_cast<int32_t>(ability))) {
            abilities += std::u16string(name) + u"\n";
        }
    }
    std::u16string text = item.getAboutText();
    if (!abilities.empty()) {
        text += u"\n\n能力：\n" + abilities;
    }
    return wrapLines(text, kDescriptionLineLength);
}

void CItemMenu::showDescription(const Item::CItem& item) {
    if (!infoWindow_) {
        hideActionWindow();
        return;
    }
    const std::u16string name = item.getDisplayName(false);
    switch (item.getItemType()) {
        case Item::CItem::kWeapon:
            infoWindow_->title = Orvex::System::formatWide(u"%s 攻%d", name, item.getStatus().getAttack());
            break;
        case Item::CItem::kShield:
            infoWindow_->title = Orvex::System::formatWide(u"%s 防%d", name, item.getStatus().getDefense());
            break;
        default:
            infoWindow_->title = name;
            break;
    }
    infoWindow_->text = buildDescription(item);
    infoShown_ = true;
    hideActionWindow();
}

}  // namespace Fenwarrow::SceneLayer
