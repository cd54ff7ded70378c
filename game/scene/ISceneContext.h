#pragma once
// What the scenes take from the running game: the graphics library and its renderer, the render
// queue of the frame, the keys input readers use, the audio device, the reader movies stream
// from, the settings and the frame timer. The game manager provides it; the object behind it
// must outlive every scene it is given to.
#include <memory>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/io/OxStreamIO.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::Graphics {
class OxScreenEffectController;
}

namespace Fenwarrow {

class CSettingDataManager;
class CGameSetting;
class IGameContext;
namespace Dungeon {
class CDungeon;
class IDungeonServices;
}  // namespace Dungeon
namespace Replay {
class CReplayController;
}

namespace Scene {

class ISceneContext {
public:
    virtual ~ISceneContext() = default;

    virtual Orvex::Graphics::IOrvexGraphics* getGraphics() = 0;
    virtual Orvex::Graphics::IOrvexRenderer* getRenderer() = 0;
    virtual Orvex::Graphics::OxRenderQueue* getRenderQueue() = 0;
    // The key set input readers use (a replay's keys while one plays back).
    virtual Orvex::InputSystem::OxVirtualKey* getVirtualKey() = 0;
    // Null when the audio system has no device.
    virtual std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() = 0;
    // The reader movies are streamed from (the third of the game's three readers).
    virtual Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() = 0;
    virtual const CGameSetting& getSettings() = 0;
    virtual CSettingDataManager* getSettingDataManager() = 0;
    // Restarts the frame timer's count, so that a long load is not taken as a late frame.
    virtual void resetFrameTimer() = 0;
    // What scripted scenes need of the game: the script services and readers, the command
    // modules a scene's script host attaches, the game data and the floor in play.
    virtual IGameContext& getGameContext() = 0;
    // The duration of the update step in progress, in seconds.
    virtual float getFrameTime() = 0;
    // The replay recorder and player; null when the game has none.
    virtual Replay::CReplayController* getReplayController() = 0;
    // What a floor takes from the game; it outlives every floor. Null: no floor can be played.
    virtual Dungeon::IDungeonServices* getDungeonServices() = 0;
    // The floor in play, shared with the script modules and actions; null clears it.
    virtual void setCurrentDungeon(const std::shared_ptr<Dungeon::CDungeon>& floor) = 0;

    // What the title scene reaches besides; a context without one of them answers null or
    // false, and the title then refuses to start or reports the failure to its script.
    virtual Orvex::Graphics::OxScreenEffectController* getScreenEffects() { return nullptr; }
    // Reads the common save into the game data, or writes the game data to it; false when that
    // failed (a file that cannot be read is kept as it is).
    virtual bool loadCommonData() { return false; }
    virtual bool saveCommonData() { return false; }
    // Back to a fresh game, as without a common save.
    virtual void resetGameData() {}
    // Asks the main window to close; its close path ends the game.
    virtual void closeMainWindow() {}
};

}  // namespace Scene
}  // namespace Fenwarrow
