#pragma once
// An actor puts an item down: the given script, or the item's put script, handed the actor,
// the item and two values. Shop goods put back on a cell move their sale entry with them.
#include <cstdint>
#include <string>

#include "game/action/CScriptingAction.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class CPutItemAction : public CScriptingAction {
public:
    // An empty script name runs the item's own put script.
    CPutItemAction(IActionContext& context, Actor::CActor* actor, Item::CItem* item, const std::u16string& script,
                   int32_t word1, int32_t word2);

    bool initialize() override;
    void start() override { CScriptingAction::start(); }
    // The script ends; then shop goods lying on a cell record that cell.
    void end() override;

    Item::CItem* getItem() const { return item_; }

private:
    Item::CItem* item_;
    int32_t word1_;
    int32_t word2_;
};

}  // namespace Fenwarrow::Action
