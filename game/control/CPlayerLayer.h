#pragma once
// Turns the player's keys into the player's actions on a floor. The work happens in the
// player's turn (the player actor calls onTurn): while the layer has the focus one of five input
// modes reads the keys (normal moves, runs, attack, shot and menu key; the game menu; turning in
// place; diagonal moves only; the full-screen map view). Moves become cell-move actions; attacks
// and shots go to the player's script commands. Any new log line ends a run. During a replay
// playback the viewer changes the playback speed or stops it with the live keys. The player's
// conditions change what the keys do: confused, its steps and swings go a random way; blind, it
// cannot turn to its neighbour; starving, it neither rests fast nor runs.
#include <cstdint>
#include <functional>
#include <memory>

#include "game/actor/IPlayerControl.h"
#include "game/dungeon/CLogEventListener.h"
#include "game/dungeon/OxPoint.h"
#include "game/layer/CSceneLayer.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {
class IOrvexRenderer;
}
namespace Orvex::InputSystem {
class OxVirtualKey;
}
namespace Orvex::Random {
class IOrvexRandomGenerator;
}
namespace Fenwarrow::Action {
class IActionContext;
}
namespace Fenwarrow::Actor {
class CPlayer;
}
namespace Fenwarrow::Dungeon {
class CDungeon;
}
namespace Fenwarrow::Replay {
class CReplayController;
}

namespace Fenwarrow::SceneLayer {

// What the layer drives of the in-game menu.
class IPlayerMenu {
public:
    virtual ~IPlayerMenu() = default;
    virtual void openRoot() = 0;
    // True while any menu is open.
    virtual bool isOpen() const = 0;
    virtual void update() = 0;
    virtual void draw() = 0;
};

class CPlayerLayer : public CSceneLayer,
                     public Dungeon::CLogEventListener,
                     public Actor::IPlayerControl,
                     public std::enable_shared_from_this<CPlayerLayer> {
public:
    // Virtual keys by index.
    enum Key : uint32_t {
        kKeyUp = 0,
        kKeyRight = 1,
        kKeyDown = 2,
        kKeyLeft = 3,
        kKeyMenu = 4,
        kKeyAttack = 5,
        kKeyRun = 6,
        kKeyTurn = 7,
        kKeyShoot = 8,
        kKeyDiagonal = 9,
        kKeyMap = 10,
    };
    enum InputState : int32_t {
        kInputNormal = 0,
        kInputMenu = 1,
        kInputTurn = 2,
        kInputDiagonal = 3,
        kInputMap = 4,
    };
    // A single direction key moves only once held this many frames, which leaves time to add
    // the second key of a diagonal.
    static constexpr uint32_t kSingleKeyHold = 4;
    static constexpr float kNormalSpeed = 1.0f;
    static constexpr float kDashMotionSpeed = 3.0f;

    struct Services {
        // Required: the game's services, the keys (a replay's during playback), the replay
        // step, the system sounds and the render queue.
        Action::IActionContext* actions = nullptr;
        // Null: no playback control.
        Replay::CReplayController* replay = nullptr;
        // The keys the viewer presses during a playback; null: no playback control.
        Orvex::InputSystem::OxVirtualKey* liveKeys = nullptr;
        // Null: no arrows are drawn.
        Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
        // The game menu for the player; without it the menu key does nothing.
        std::function<std::shared_ptr<IPlayerMenu>(Actor::CPlayer&)> makeMenu;
    };

    CPlayerLayer(Services services, Dungeon::CDungeon& dungeon, Actor::CPlayer& player);
    ~CPlayerLayer() override;

    bool setup() override;
    // Playback control; needs no focus.
    void update() override;
    void draw() override;

    // The player's turn: nothing unless focused.
    void onTurn(Dungeon::IActionManager& actions) override;
    // Ends a run and a dash and puts the player's motion speed back.
    void clearContinuousMove() override { stopDash(); }
    bool isDashing() const override { return dashing_; }
    void onLog() override;

    void stopDash();

    int32_t getInputState() const { return inputState_; }
    bool isRunning() const { return running_; }
    bool isWaitingForRelease() const { return waitRelease_; }
    int32_t getLastDirection() const { return lastDirection_; }
    bool hasArrowTextures() const { return arrow4_ != nullptr && arrow8_ != nullptr; }
    IPlayerMenu* getMenu() const { return menu_.get(); }

private:
    struct Step {
        int32_t direction = -1;
        int32_t dx = 0;
        int32_t dy = 0;
    };

    void normalInput();
    bool move();
    bool continueRun();
    void turnInput();
    void diagonalInput();
    void mapViewInput();
    void turnToNextNeighbour();
    // Pushes a step of the player to the cell; true when it can be taken (the turn then ends).
    bool pushMove(Dungeon::MapPoint target);
    void endTurn();
    Dungeon::MapPoint playerPoint() const;
    void drawByState();
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> loadTexture(const char16_t* path);

    // The diagonal pair that is down, if any.
    Step diagonalFromKeys();
    // A confused player's step goes a random way; the direction from the keys stays.
    void confuseStep(Step& step);
    Orvex::Random::IOrvexRandomGenerator& random();

    Services services_;
    Dungeon::CDungeon& dungeon_;
    Actor::CPlayer& player_;
    Dungeon::IActionManager* actions_ = nullptr;  // the turn's queue, only during onTurn
    Orvex::InputSystem::OxVirtualKey* keys_ = nullptr;
    int32_t inputState_ = kInputNormal;
    std::shared_ptr<IPlayerMenu> menu_;
    int32_t lastDirection_ = -1;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> arrow4_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> arrow8_;
    bool running_ = false;
    int32_t runDx_ = 0;
    int32_t runDy_ = 0;
    int32_t aroundKind_[8] = {};
    bool aroundVisible_[8] = {};
    bool waitRelease_ = false;
    bool dashSpeed_ = false;
    // The cell-move action steps faster while set.
    bool dashing_ = false;
};

}  // namespace Fenwarrow::SceneLayer
