#include "game/menu/CGameMenu.h"

#include <algorithm>

#include "game/action/CItemHolderAction.h"
#include "game/action/IActionContext.h"
#include "game/menu/CExtraItemMenu.h"
#include "game/menu/CLogMenu.h"
#include "game/menu/CMenuBase.h"
#include "game/menu/COtherMenu.h"
#include "game/menu/CPlayerItemMenu.h"
#include "game/menu/CReserveMenu.h"
#include "game/menu/CRootMenu.h"
#include "game/menu/CSimpleActionItemMenu.h"

namespace Fenwarrow::SceneLayer {

CGameMenu::CGameMenu(Action::IActionContext& context, Actor::CActor* player) : context_(context), player_(player) {
    menus_[u"RootMenu"] = std::make_shared<CRootMenu>(*this);
    menus_[u"ItemMenu"] = std::make_shared<CPlayerItemMenu>(*this);
    menus_[u"ExtraItemMenu"] = std::make_shared<CExtraItemMenu>(*this);
    menus_[u"SimpleActionItemMenu"] = std::make_shared<CSimpleActionItemMenu>(*this);
    menus_[u"OtherMenu"] = std::make_shared<COtherMenu>(*this);
    menus_[u"ReserveMenu"] = std::make_shared<CReserveMenu>(*this);
    menus_[u"LogMenu"] = std::make_shared<CLogMenu>(*this);
}

CGameMenu::~CGameMenu() = default;

CMenuBase* CGameMenu::findMenu(const std::u16string& name) const {
    auto found = menus_.find(name);
    return found != menus_.end() ? found->second.get() : nullptr;
}

bool CGameMenu::openRoot() {
    if (!openStack_.empty()) {
        return false;
    }
    CMenuBase* root = findMenu(u"RootMenu");
    if (root == nullptr) {
        return false;
    }
    root->open();
    openStack_.push_back(root);
    current_ = root;
    return true;
}

bool CGameMenu::pushMenu(CMenuBase* menu, bool replaceTop, const std::function<void(CMenuBase&)>& prepare) {
    // A screen is only opened from another one.
    if (openStack_.empty() || menu == nullptr) {
        return false;
    }
    if (replaceTop) {
        openStack_.back()->close();
        openStack_.pop_back();
    }
    if (prepare) {
        prepare(*menu);
    }
    menu->open();
    openStack_.push_back(menu);
    current_ = menu;
    return true;
}

bool CGameMenu::openMenu(const std::u16string& name, bool replaceTop) {
    return pushMenu(findMenu(name), replaceTop, nullptr);
}

bool CGameMenu::openItemMenu(const std::u16string& name, bool replaceTop,
                             const std::vector<std::shared_ptr<Item::CItem>>& items, const std::u16string& caption,
                             std::shared_ptr<Action::CItemHolderAction> pendingAction, bool withItemActions) {
    auto* menu = dynamic_cast<CSimpleActionItemMenu*>(findMenu(name));
    if (menu == nullptr) {
        return false;
    }
    return pushMenu(menu, replaceTop,
                    [&](CMenuBase&) { menu->prepare(items, caption, std::move(pendingAction), withItemActions); });
}

void CGameMenu::back() {
    if (openStack_.empty()) {
        return;
    }
    openStack_.back()->close();
    openStack_.pop_back();
    if (openStack_.empty()) {
        current_ = nullptr;
        return;
    }
    current_ = openStack_.back();
    current_->onResume();
    current_->open();
}

void CGameMenu::update() {
    if (current_ != nullptr) {
        current_->update(context_.getFrameTime());
    }
}

void CGameMenu::draw() {
    // A screen may back out while drawing is collected; walk a copy.
    const std::vector<CMenuBase*> stack = openStack_;
    for (CMenuBase* menu : stack) {
        if (menu->isOpen()) {
            menu->draw();
        }
    }
}

void CGameMenu::closeAll() {
    openStack_.clear();
    current_ = nullptr;
}

void CGameMenu::clearStack() { openStack_.clear(); }

}  // namespace Fenwarrow::SceneLayer
