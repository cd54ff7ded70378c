#pragma once
// What a floor takes from the running game besides the script services: drawing, the screen
// effects, the scene layers and the scene change, the keys, sounds and settings, the clock, and
// the makers of the floor's action queue and of the scripted effects the floor starts itself.
// The game manager provides it; the object behind it must outlive every floor it is given to.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/io/OxStreamIO.h"
#include "game/dungeon/OxPoint.h"

namespace Orvex::FontLib {
class OxFontRenderer;
}
namespace Orvex::Graphics {
class IOrvexRenderer;
class OxRenderQueue;
class OxScreenEffectController;
}  // namespace Orvex::Graphics
namespace Orvex::InputSystem {
class OxVirtualKey;
}
namespace Fenwarrow {
class CSettingDataManager;
class IGameContext;
class IGeneralWindowContext;
namespace SceneLayer {
class CSceneLayer;
class CSceneLayerManager;
}  // namespace SceneLayer
namespace Actor {
class CActor;
}
}  // namespace Fenwarrow

namespace Fenwarrow::Dungeon {

class CDungeon;
class IActionManager;

// A scripted effect the floor drives itself, outside the action queue (the meltdown).
class IFloorEffect {
public:
    virtual ~IFloorEffect() = default;
    virtual bool prepare() = 0;
    virtual void update() = 0;
    virtual void draw() = 0;
    virtual void end() = 0;
};

class IDungeonServices {
public:
    virtual ~IDungeonServices() = default;

    virtual IGameContext& getGameContext() = 0;
    // The window frame, icons and keys of the log window; null without them.
    virtual std::shared_ptr<IGeneralWindowContext> getWindowContext() = 0;
    virtual std::shared_ptr<Orvex::FontLib::OxFontRenderer> createFontRenderer() = 0;
    // Null while the game has no device.
    virtual Orvex::Graphics::IOrvexRenderer* getRenderer() = 0;
    // The reader movies stream from.
    virtual Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() = 0;
    virtual Orvex::Graphics::OxRenderQueue* getRenderQueue() = 0;
    virtual Orvex::Graphics::OxScreenEffectController* getScreenEffects() = 0;
    virtual SceneLayer::CSceneLayerManager* getSceneLayerManager() = 0;
    // A dialogue (adventure) layer running the story at the path, its script's set-up handed the
    // two context values; null when none can be made.
    virtual std::shared_ptr<SceneLayer::CSceneLayer> createAdventureLayer(const std::u16string& story,
                                                                          uintptr_t context1, uintptr_t context2) = 0;
    virtual CSettingDataManager* getSettingDataManager() = 0;
    virtual Orvex::InputSystem::OxVirtualKey* getVirtualKey() = 0;
    virtual std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) = 0;
    virtual void setClearColour(uint32_t colour) = 0;
    // Posts a change to that scene to the scene controller.
    virtual void changeScene(int32_t scene) = 0;
    // The step time of the current frame, in seconds.
    virtual float getFrameTime() = 0;
    // The engine's millisecond clock.
    virtual uint32_t getMilliseconds() = 0;
    // 0 none, 1 recording, 2 playing back.
    virtual uint32_t getReplayMode() = 0;
    virtual uint32_t getScreenWidth() = 0;
    virtual uint32_t getScreenHeight() = 0;

    // A new action queue for a floor; null when the game cannot make one.
    virtual std::shared_ptr<IActionManager> createActionManager() = 0;
    // Queues a scripted effect with the actor as its parameter; false when none could be made.
    virtual bool pushScriptedAction(IActionManager& actions, const std::u16string& script,
                                    Actor::CActor* parameter) = 0;
    // Queues the arrival of a new actor of that folder at the point.
    virtual bool pushArrivalAction(IActionManager& actions, const std::u16string& folder, MapPoint point) = 0;
    // Queues the level change of an enemy by that many levels (negative: down); false when it
    // could not be queued (a services object without actions queues nothing).
    virtual bool pushEnemyLevelUpAction(IActionManager& /*actions*/, Actor::CActor* /*enemy*/, int32_t /*level*/) {
        return false;
    }
    // A scripted effect the floor drives itself; null when none could be made.
    virtual std::shared_ptr<IFloorEffect> createScriptedEffect(const std::u16string& script,
                                                               Actor::CActor* parameter) = 0;
    // Reads the suspended game (the common save, then the floor through the floor's loadFloor);
    // false when there is none or it cannot be read.
    virtual bool loadSuspendedGame(CDungeon& floor) = 0;

    // The layer that turns the player's keys into the player's actions on that floor; it is
    // also the player's IPlayerControl. Null when the game has none.
    virtual std::shared_ptr<SceneLayer::CSceneLayer> createPlayerLayer(CDungeon& floor, Actor::CActor& player) = 0;
    // The layer that runs the floor's events; null when the game has none.
    virtual std::shared_ptr<SceneLayer::CSceneLayer> createEventLayer() = 0;
};

}  // namespace Fenwarrow::Dungeon
