#pragma once
// An action on an item held in a container item (a pot, a box): the container's script, handed
// the actor, the container and the item. Each kind names its script, its menu label and the
// actor command that performs it.
#include <string>

#include "game/action/CScriptingAction.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class CItemHolderAction : public CScriptingAction {
public:
    CItemHolderAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item);

    bool initialize() override;
    void start() override { CScriptingAction::start(); }
    void end() override { CScriptingAction::end(); }

    // The container's script this kind runs; empty for the base.
    virtual std::u16string getHolderScriptFileName() const { return {}; }
    virtual std::u16string getMenuLabel() const { return {}; }
    virtual std::string getActorCommand() const { return {}; }

    Item::CItem* getHolder() const { return holder_; }
    Item::CItem* getItem() const { return item_; }

protected:
    Actor::CActor* getActor() const { return static_cast<Actor::CActor*>(getParameter()); }

private:
    Item::CItem* holder_;
    Item::CItem* item_;
};

}  // namespace Fenwarrow::Action
