#include "game/scriptcommand/KnownActors.h"

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/ScriptArguments.h"

namespace Fenwarrow::ScriptCommand {

Actor::CActor* findKnownActor(lua_State* L, const void* given, Actor::CActor* player, Dungeon::CDungeon* floor) {
    if (given == nullptr) {
        return nullptr;
    }
    if (player != nullptr && static_cast<const void*>(player) == given) {
        return player;
    }
    if (floor != nullptr) {
        for (const auto* list : {&floor->getTurnController().getParticipants(), &floor->getRemovedActors()}) {
            for (const auto& actor : *list) {
                if (actor != nullptr && static_cast<const void*>(actor.get()) == given) {
                    return actor.get();
                }
            }
        }
    }
    // Sprites are lent to the same registry: a lent address counts only while it is a living
    // actor.
    return ScriptArguments::isLentObject(L, given) ? Actor::CActor::findLiveActor(given) : nullptr;
}

}  // namespace Fenwarrow::ScriptCommand
