#pragma once
// The "Dungeon" module: floor scripts place enemies, non-players and items, dig and change
// floors; actor, item and HUD scripts ask about the floor (sight, movement, neighbours, lists)
// and steer its log, mini-map, turn count and event scripts. It keeps no state of its own.
#include <functional>
#include <utility>

#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::ScriptCommand {

class CDungeonCommand : public CScriptCommandBase<CDungeonCommand> {
public:
    // The floor in play; null while there is none (the functions then do nothing).
    explicit CDungeonCommand(std::function<Dungeon::CDungeon*()> currentFloor)
        : currentFloor_(std::move(currentFloor)) {}

    bool registerFunctions(CScriptController& controller) override;

    Dungeon::CDungeon* getFloor() const { return currentFloor_ ? currentFloor_() : nullptr; }

private:
    std::function<Dungeon::CDungeon*()> currentFloor_;
};

}  // namespace Fenwarrow::ScriptCommand
