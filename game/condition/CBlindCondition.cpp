#include "game/condition/CBlindCondition.h"

#include "game/actor/CActor.h"
#include "game/condition/ConditionLooks.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"

namespace Fenwarrow::Actor::Condition {

void CBlindCondition::onAttach() {
    if (isStable()) {
        return;
    }
    counter_ = 15;
    if (isPlayer()) {
        if (Dungeon::CDungeon* floor = getDungeon()) {
            floor->getFloorState().showMiniMap = 0;
        }
    }
    showEffect(getActor(), u"Blind");
}

void CBlindCondition::onDetach() {
    counter_ = 0;
    if (isPlayer()) {
        if (Dungeon::CDungeon* floor = getDungeon()) {
            floor->getFloorState().showMiniMap = 1;
        }
    }
    clearEffect(getActor());
}

void CBlindCondition::update(float /*elapsedSeconds*/) {
    if (!isPlayer()) {
        return;
    }
    Dungeon::CDungeon* floor = getDungeon();
    if (floor == nullptr) {
        return;
    }
    // Both views last one frame: the map renderer clears them in its own step.
    Dungeon::CMapRenderer& view = floor->getMapRenderer();
    if (isActive()) {
        view.setPlayerOnly(true);
    }
    const Dungeon::CMapCell* cell = getActor().getCell();
    if (cell != nullptr && cell->room == nullptr) {
        view.setDarkness(true);
    }
}

void CBlindCondition::onEnterTurn() {
    if (!isActive()) {
        return;
    }
    if (isPlayer()) {
        --counter_;
    }
    if (counter_ <= 0) {
        onDetach();
    }
}

void CBlindCondition::onChangeFloor() {
    if (isActive()) {
        onDetach();
    }
}

}  // namespace Fenwarrow::Actor::Condition
