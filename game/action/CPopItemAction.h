#pragma once
// An actor takes an item out of a container: the container's pop script.
#include "game/action/CItemHolderAction.h"

namespace Fenwarrow::Action {

class CPopItemAction : public CItemHolderAction {
public:
    CPopItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item);

    bool initialize() override;
    std::u16string getHolderScriptFileName() const override;
    std::u16string getMenuLabel() const override { return u"取り出す"; }
    std::string getActorCommand() const override { return "doPopItem"; }
};

}  // namespace Fenwarrow::Action
