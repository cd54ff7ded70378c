#pragma once
// An actor uses a container on an item: the container's action script.
#include "game/action/CItemHolderAction.h"

namespace Fenwarrow::Action {

class CUseItemAction : public CItemHolderAction {
public:
    CUseItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* holder, Item::CItem* item);

    bool initialize() override;
    std::u16string getHolderScriptFileName() const override;
    std::u16string getMenuLabel() const override { return u"使う"; }
    std::string getActorCommand() const override { return "doItem"; }
};

}  // namespace Fenwarrow::Action
