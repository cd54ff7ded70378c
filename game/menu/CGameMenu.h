#pragma once
// The in-game menu of a floor: one instance of every menu screen, found by name, and the stack
// of the screens that are open. Only the top screen is updated; every open screen is drawn, so
// the screens below stay visible. The player's control layer makes one for the player, opens
// the root on the menu key, updates it on the player's turns while the stack is not empty and
// draws it from its own draw callback.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Fenwarrow::Action {
class CItemHolderAction;
class IActionContext;
}  // namespace Fenwarrow::Action
namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::SceneLayer {

class CMenuBase;

class CGameMenu {
public:
    // System sounds of the menus.
    static constexpr int32_t kSoundDecide = 0;
    static constexpr int32_t kSoundCancel = 1;
    static constexpr int32_t kSoundCursor = 2;

    // The context and the player must outlive the menu; the floor is the context's current one.
    CGameMenu(Action::IActionContext& context, Actor::CActor* player);
    CGameMenu(const CGameMenu&) = delete;
    CGameMenu& operator=(const CGameMenu&) = delete;
    virtual ~CGameMenu();

    // Opens "RootMenu"; false while any screen is open.
    bool openRoot();
    // Opens a screen over the top one (or in its place with replaceTop); false, with nothing
    // changed, when no screen is open or the name is unknown.
    bool openMenu(const std::u16string& name, bool replaceTop);
    // openMenu for an item-list screen, which first takes the list, its caption, the action
    // that waits for an item to be chosen (may be null) and whether the chosen item's own
    // actions are offered too.
    bool openItemMenu(const std::u16string& name, bool replaceTop,
                      const std::vector<std::shared_ptr<Item::CItem>>& items, const std::u16string& caption,
                      std::shared_ptr<Action::CItemHolderAction> pendingAction, bool withItemActions);
    // Closes the top screen; the one below, if any, resumes.
    void back();
    // The top screen's step with the frame time.
    void update();
    // Every open screen of the stack, bottom first.
    void draw();
    // Forget the stack without closing the screens; clearStack keeps `current`.
    void closeAll();
    void clearStack();

    bool isStackEmpty() const { return openStack_.empty(); }
    CMenuBase* getCurrent() const { return current_; }
    // The screen of that name, or null.
    CMenuBase* findMenu(const std::u16string& name) const;

    Action::IActionContext& getContext() const { return context_; }
    Actor::CActor* getPlayer() const { return player_; }

private:
    bool pushMenu(CMenuBase* menu, bool replaceTop, const std::function<void(CMenuBase&)>& prepare);

    Action::IActionContext& context_;
    Actor::CActor* player_;
    std::map<std::u16string, std::shared_ptr<CMenuBase>> menus_;
    CMenuBase* current_ = nullptr;
    std::vector<CMenuBase*> openStack_;
};

}  // namespace Fenwarrow::SceneLayer
