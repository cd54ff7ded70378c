// Actors that arrive on the floor: enemies and non-players made from their actor folders.
#include "game/actor/CActor.h"
#include "game/actor/CEnemy.h"
#include "game/actor/CNonPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/IGameContext.h"

namespace Fenwarrow::Dungeon {

std::shared_ptr<Actor::CActor> CDungeon::arriveActor(const std::shared_ptr<Actor::CActor>& actor,
                                                     const std::u16string& folder, MapPoint point) {
    if (actor == nullptr || !actor->setup(folder) || !isMovable(actor.get(), point, false)) {
        return nullptr;
    }
    addTurnParticipant(actor);
    if (!forcePutCellObject(actor.get(), point)) {
        removeActor(actor.get());
        return nullptr;
    }
    actor->callEvent("onArrival");
    return actor;
}

std::shared_ptr<Actor::CActor> CDungeon::createEnemy(const std::u16string& folder, MapPoint point) {
    if (isMaxActor()) {
        return nullptr;
    }
    return arriveActor(std::make_shared<Actor::CEnemy>(services_.getGameContext()), folder, point);
}

std::shared_ptr<Actor::CActor> CDungeon::createNonPlayer(const std::u16string& folder, MapPoint point) {
    if (isMaxActor()) {
        return nullptr;
    }
    return arriveActor(std::make_shared<Actor::CNonPlayer>(services_.getGameContext()), folder, point);
}

}  // namespace Fenwarrow::Dungeon
