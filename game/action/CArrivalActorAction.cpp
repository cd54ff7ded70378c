#include "game/action/CArrivalActorAction.h"

#include "game/action/CScriptingAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CEnemy.h"
#include "game/dungeon/CDungeon.h"

namespace Fenwarrow::Action {

void CArrivalActorAction::prepare() {
    auto enemy = std::make_shared<Actor::CEnemy>(context_.getGameContext());
    if (enemy->setup(folder_)) {
        actor_ = std::move(enemy);
    }
}

bool CArrivalActorAction::place() {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    if (actor_ == nullptr || floor == nullptr || floor->isMaxActor()) {
        return false;
    }
    floor->addTurnParticipant(actor_);
    const Dungeon::MapPoint found = floor->putCellObjectNear(actor_.get(), point_, false, kSearchDepth);
    if (found == Dungeon::kInvalidPoint) {
        floor->removeActor(actor_.get());
        return false;
    }
    point_ = found;
    return true;
}

void CArrivalActorAction::start() {
    if (!place()) {
        actor_.reset();
        setActive(false);
        return;
    }
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    actor_->playMotion(u"Walk", false, true, true);
    actor_->callEvent("onArrival");
    if (!floor->checkCellObjectInActorSight(actor_.get(), floor->getPlayer().get())) {
        actor_->setVisible(true);
        setActive(false);
        return;
    }
    auto inner = std::make_shared<CScriptingAction>(context_, kArrivalScript, actor_.get());
    inner->prepare();
    inner_ = std::move(inner);
    actor_->setVisible(false);
    context_.stopPlayerDash();
    inner_->start();
    setActive(true);
}

void CArrivalActorAction::update() {
    if (inner_ == nullptr) {
        setActive(false);
        return;
    }
    inner_->update();
    setActive(inner_->isActive());
}

void CArrivalActorAction::end() {
    if (actor_ != nullptr) {
        actor_->setVisible(true);
    }
    if (inner_ != nullptr) {
        inner_->end();
    }
}

void CArrivalActorAction::draw() {
    if (actor_ != nullptr && actor_->isVisible() && inner_ != nullptr) {
        inner_->draw();
    }
}

}  // namespace Fenwarrow::Action
