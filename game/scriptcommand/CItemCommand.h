#pragma once
// The "Item" module: item set-ups, item actions and floor scripts read and change an item's
// identity, scripts, held items, identification and status, and list the kinds the factory
// knows.
#include <functional>
#include <utility>

#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow {
class IGameContext;
}
namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::ScriptCommand {

class CItemCommand : public CScriptCommandBase<CItemCommand> {
public:
    // The floor in play; null while there is none (the functions that need it then do less).
    // Without one, the game's current floor.
    using FloorSource = std::function<Dungeon::CDungeon*()>;

    explicit CItemCommand(IGameContext& context, FloorSource currentFloor = {})
        : context_(context), currentFloor_(std::move(currentFloor)) {}

    bool registerFunctions(CScriptController& controller) override;

    IGameContext& getContext() const { return context_; }
    Dungeon::CDungeon* getFloor() const;

private:
    IGameContext& context_;
    FloorSource currentFloor_;
};

}  // namespace Fenwarrow::ScriptCommand
