#pragma once
// The rule by which the Audio and Graphics modules take back the game's own sounds and textures,
// which the Game module hands to scripts as bare addresses (the music, the system sounds, the
// common textures). An address counts only while it is lent to the calling state and still names
// one of those objects, so a number, a pointer of another kind or the music that has since
// stopped reads as no object.
#include <memory>

#include <lua.hpp>

#include "engine/audio/IOrvexAudioSource.h"

namespace Fenwarrow {
class IGameContext;
}
namespace Orvex::Graphics {
class IOrvexTexture;
}

namespace Fenwarrow::ScriptCommand {

// The music playing now or a system sound at `given`; null for anything else or without a game.
std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> findGameSound(lua_State* L, IGameContext* game,
                                                                     const void* given);
// The common texture at `given`, borrowed: the common data keep it for the life of the game.
// Null for anything else or without a game.
Orvex::Graphics::IOrvexTexture* findCommonTexture(lua_State* L, IGameContext* game, const void* given);

}  // namespace Fenwarrow::ScriptCommand
