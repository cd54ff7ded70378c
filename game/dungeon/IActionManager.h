#pragma once
// The floor's action queue as the floor and its turn order see it: whether actions are still
// waiting, loading or running, whether an exclusive one holds the floor, and the per-frame
// calls. The floor's action manager implements it; participants push their actions into it
// during their turn.
namespace Fenwarrow::Dungeon {

class IActionManager {
public:
    virtual ~IActionManager() = default;
    // Any action waiting, loading or running.
    virtual bool isBusy() const = 0;
    // An exclusive action is waiting, or the first running action is exclusive.
    virtual bool isBlocking() const = 0;
    // Starts and runs the queued actions in order (game thread, once per frame).
    virtual void update() = 0;
    // Queues the drawing of every running action.
    virtual void draw() = 0;
    // Empties every list of the queue.
    virtual void clear() = 0;
};

}  // namespace Fenwarrow::Dungeon
