#pragma once
// What the game's data objects (items, actors, the item factory, the game data manager and the
// "Game" module) reach of the game while it runs: the script services, the command modules a
// script host attaches, the data managers and the music output. The game manager provides it;
// the object behind it must outlive everything that uses it.
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/audio/IOrvexAudioSource.h"
#include "engine/io/OxStreamIO.h"
#include "game/services/IScriptServices.h"

namespace Fenwarrow {

class CGameDataManager;
class CScriptController;
class CSettingDataManager;
class IScriptCommand;
namespace Item {
class CItem;
class CItemFactory;
struct CUnidentifiedItemInfo;
}  // namespace Item
namespace Dungeon {
class CDungeon;
}
namespace Actor {
class CActor;
class IActorConditions;
}  // namespace Actor
namespace Replay {
class CReplayController;
}
}  // namespace Fenwarrow
namespace Orvex::Graphics {
class IOrvexTexture;
}

namespace Fenwarrow {

// The command modules a script host may attach ("Lua" is attached by every host itself).
enum class ScriptModule : int32_t {
    kActor,
    kAudio,
    kDamageCalculate,
    kDungeon,
    kEvent,
    kGame,
    kGeneralWindow,
    kGraphics,
    kInputSystem,
    kItem,
    kMap,
    kNonPlayer,
    kSceneLayer,
    kMossbellLib,
};

class IGameContext : public IScriptServices {
public:
    // A new module object of that kind, or null when the game has no such module.
    virtual std::shared_ptr<IScriptCommand> createScriptModule(ScriptModule module) = 0;
    // Null while the manager does not exist (start-up builds the item factory first).
    virtual CGameDataManager* getGameDataManager() = 0;
    virtual Item::CItemFactory* getItemFactory() = 0;
    // The game data manager's record of whether that item kind is still unidentified; null
    // while there is no manager or no record.
    virtual Item::CUnidentifiedItemInfo* findUnidentifiedItemInfo(uint32_t itemId) = 0;
    // The reader that streamed music is read from (the second of the game's three readers).
    virtual Orvex::IO::StreamIO::IOrvexStreamReader& getMusicReader() = 0;
    // Null when the audio system has no device.
    virtual std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() = 0;
    // The floor in play, which the modules reach; null while there is none (and in a context
    // that never has floors).
    virtual Dungeon::CDungeon* getCurrentDungeon() { return nullptr; }
    // Whether the player of the floor in play has that status condition; false while there is
    // no floor or it has no player. Items sit below the actors, so they ask the game.
    virtual bool playerHasCondition(int32_t /*type*/) { return false; }
    // The status conditions of a new actor, made while the actor is constructed (so only its
    // own CActor part may be touched). The condition rules sit above the actor, so the game
    // makes them; null in a context that never plays a floor.
    virtual std::unique_ptr<Actor::IActorConditions> createConditionController(Actor::CActor& actor) = 0;

    // What the "Game" module reaches beyond the game data; a context without one of them
    // answers 0 or null, and the module's functions then do nothing.
    // The duration of the update step in progress, in seconds.
    virtual float getStepTime() { return 0.0f; }
    // The common texture and system sound of that index; null outside their ranges.
    virtual Orvex::Graphics::IOrvexTexture* getCommonTexture(int32_t /*index*/) { return nullptr; }
    virtual std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t /*index*/) { return nullptr; }
    // The records one scene hands to the next.
    virtual CSettingDataManager* getSettingDataManager() { return nullptr; }
    virtual Replay::CReplayController* getReplayController() { return nullptr; }
    // A new floor: runs the item's change-floor script for the floor's player. Items sit below
    // the actions, so the game runs it; a context without floors does nothing.
    virtual void runItemChangeFloorScript(Item::CItem& /*item*/) {}
};

// Creates and attaches the modules in the given order; false at the first that the context
// cannot make or the controller refuses.
bool attachScriptModules(CScriptController& controller, IGameContext& context,
                         std::initializer_list<ScriptModule> modules);

}  // namespace Fenwarrow
