#pragma once
// An actor puts an item into a container: the container's push script. An item lying on the
// floor is picked up first; one the actor cannot lift starts nothing, and one the script left
// in the actor's pack goes back down at the end.
#include "game/action/CItemHolderAction.h"

namespace Fenwarrow::Action {

class CPushItemAction : public CItemHolderAction {
public:
    CPushItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item);

    bool initialize() override;
    void start() override;
    void end() override;
    std::u16string getHolderScriptFileName() const override;
    std::u16string getMenuLabel() const override { return u"入れる"; }
    std::string getActorCommand() const override { return "doPushItem"; }

    bool wasTaken() const { return taken_; }
    bool isKept() const { return kept_; }

private:
    bool taken_ = false;
    bool kept_ = true;
};

}  // namespace Fenwarrow::Action
