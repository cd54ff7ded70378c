#pragma once
// What the turn order needs to know of the floor's action queue: whether actions are still
// waiting, loading or running, and whether an exclusive one holds the floor. The floor's action
// manager implements it; participants push their actions into it during their turn.
namespace Fenwarrow::Dungeon {

class IActionManager {
public:
    virtual ~IActionManager() = default;
    // Any action waiting, loading or running.
    virtual bool isBusy() const = 0;
    // An exclusive action is waiting, or the first running action is exclusive.
    virtual bool isBlocking() const = 0;
};

}  // namespace Fenwarrow::Dungeon
