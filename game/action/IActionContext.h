#pragma once
// What actions reach of the running game: the script services and modules, the frame time, the
// floor in play with its action queue, the keys input readers use, the system sounds, the
// player's control layer and the general windows. The game manager provides it; tests give
// actions one made of explicit objects. The object behind it must outlive every action.
#include <cstdint>
#include <functional>
#include <memory>

namespace Orvex::InputSystem {
class OxVirtualKey;
}

namespace Fenwarrow {
class CGeneralWindow;
class IGameContext;
namespace Dungeon {
class CDungeon;
}
}  // namespace Fenwarrow

namespace Fenwarrow::Action {

class CActionManager;

class IActionContext {
public:
    virtual ~IActionContext() = default;

    // Script hosts, command modules, the random generator and the game data.
    virtual IGameContext& getGameContext() = 0;
    // Seconds of the current frame.
    virtual float getFrameTime() = 0;
    // The floor in play and its action queue; null while there is none.
    virtual Dungeon::CDungeon* getCurrentDungeon() = 0;
    virtual CActionManager* getActionManager() = 0;

    // The replay controller's step for this frame, which every reader of keys runs first.
    virtual void updateReplay() = 0;
    // The keys input readers use (the replay's during playback); null when there are none.
    virtual Orvex::InputSystem::OxVirtualKey* getVirtualKey() = 0;
    // Plays a system sound (3 pick-up, 11 level change); nothing when it is missing.
    virtual void playSystemSE(int32_t index) = 0;

    // The player's control layer: its dash, and its two continuous-move flags.
    virtual bool isPlayerDashing() = 0;
    virtual void stopPlayerDash() = 0;
    virtual void stopPlayerContinuousMove() = 0;

    // A created general window with the game's font, or null when none can be made.
    virtual std::shared_ptr<CGeneralWindow> createGeneralWindow() = 0;
    // Queues a draw callback at the priority for the current frame.
    virtual void addRenderQueue(uint32_t priority, std::function<void()> draw) = 0;
};

}  // namespace Fenwarrow::Action
