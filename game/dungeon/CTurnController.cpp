#include "game/dungeon/CTurnController.h"

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/CRoom.h"
#include "game/dungeon/IActionManager.h"

namespace Fenwarrow::Dungeon {

namespace {
// Newcomers standing in a room of this type act in the round they joined.
constexpr int32_t kActingRoomType = 1;
}  // namespace

CTurnController::CTurnController(CDungeon& floor) : floor_(floor) { reset(); }

CTurnController::~CTurnController() { reset(); }

void CTurnController::reset() {
    turnCount_ = 1;
    roundWrapped_ = false;
    participants_.clear();
    current_.reset();
    suspended_ = false;
}

std::size_t CTurnController::find(const Actor::CActor* actor) const {
    std::size_t index = 0;
    for (const auto& participant : participants_) {
        if (participant.get() == actor) {
            return index;
        }
        ++index;
    }
    return participants_.size();
}

std::size_t CTurnController::indexOf(const Actor::CActor* actor) const {
    const std::size_t index = find(actor);
    return index < participants_.size() ? index : 0;
}

bool CTurnController::contains(const Actor::CActor* actor) const { return find(actor) < participants_.size(); }

bool CTurnController::isPlayer(const Actor::CActor& actor) { return actor.getActorType() == Actor::CActor::kPlayer; }

void CTurnController::insertParticipant(const std::shared_ptr<Actor::CActor>& actor, std::size_t index, bool skip) {
    if (participants_.insert(index, actor) && skip && actor) {
        actor->setJoinedThisRound(true);
    }
}

std::shared_ptr<Actor::CActor> CTurnController::removeParticipant(const Actor::CActor* actor) {
    const std::size_t index = find(actor);
    if (index >= participants_.size()) {
        return {};
    }
    std::shared_ptr<Actor::CActor> removed = participants_.at(index);
    if (removed == current_) {
        advance();
    }
    removed->setTurnState(0);
    removed->setActionsLeft(1);
    floor_.deleteCellObject(removed.get());
    removed->setDrawOffset(0.0f, 0.0f);
    if (!participants_.remove(removed)) {
        return {};
    }
    // The last participant leaves nobody to hand the turn to.
    if (current_ == removed) {
        current_.reset();
    }
    return removed;
}

void CTurnController::advance() {
    const std::size_t index = find(current_.get());
    if (participants_.empty() || index >= participants_.size()) {
        return;
    }
    if (index + 1 == participants_.size()) {
        current_ = participants_.at(0);
        ++turnCount_;
        roundWrapped_ = true;
    } else {
        current_ = participants_.at(index + 1);
    }
    current_->setActionsLeft(current_->getActionsPerRound());
}

void CTurnController::enterTurn(IActionManager& actions) {
    // Skipped newcomers and dead participants hand the turn on; each pass clears a flag or
    // removes a participant, so the walk ends.
    for (;;) {
        const std::shared_ptr<Actor::CActor> actor = current_;
        if (!actor) {
            return;
        }
        if (actor->getJoinedThisRound()) {
            const CMapCell* cell = actor->getCell();
            const bool inActingRoom = cell && cell->room && cell->room->roomType == kActingRoomType;
            if (!inActingRoom) {
                actor->setJoinedThisRound(false);
                advance();
                continue;
            }
        }
        if (!actor->isAlive()) {
            floor_.removeActor(actor.get());
            if (current_ == actor) {
                return;
            }
            continue;
        }
        removeDeadParticipants();
        actor->setTurnState(1);
        actor->onEnterTurn(actions);
        if (current_ && current_->getTurnState() != 0) {
            actor->setTurnState(2);
        }
        actor->setActionsLeft(actor->getActionsLeft() - 1);
        return;
    }
}

void CTurnController::exitTurn(IActionManager& actions) {
    const std::shared_ptr<Actor::CActor> actor = current_;
    actor->onExitTurn(actions);
    if (isPlayer(*actor)) {
        participants_.forEach([](Actor::CActor& participant) { participant.setJoinedThisRound(false); });
    }
    removeDeadParticipants();
    if (actor->getActionsLeft() <= 0) {
        advance();
    }
}

void CTurnController::removeDeadParticipants() {
    for (std::size_t index = participants_.size(); index-- > 1;) {
        const std::shared_ptr<Actor::CActor> participant = participants_.at(index);
        if (participant && !participant->isAlive()) {
            removeParticipant(participant.get());
        }
    }
}

void CTurnController::update(IActionManager& actions) {
    if (suspended_) {
        return;
    }
    roundWrapped_ = false;
    if (participants_.empty() || actions.isBusy()) {
        return;
    }
    if (!current_) {
        current_ = participants_.at(0);
        if (current_->getTurnState() == 0) {
            current_->setActionsLeft(current_->getActionsPerRound());
        }
    }
    if (actions.isBlocking()) {
        return;
    }
    for (;;) {
        // A dead player enters no new turn: the frame's walk stops with the order at the player,
        // and the floor ends the dive. Without this a player killed on its own turn (by a trap)
        // while no action holds the frame would hand the turn round the order for ever.
        if (current_ && isPlayer(*current_) && current_->getTurnState() == 0 && !current_->isAlive()) {
            return;
        }
        bool entered = false;
        if (current_ && current_->getTurnState() == 0) {
            enterTurn(actions);
            entered = true;
        }
        if (!current_) {
            return;
        }
        const std::shared_ptr<Actor::CActor> actor = current_;
        if (actor->getTurnState() != 0) {
            if (isPlayer(*actor) && entered) {
                return;
            }
            actor->onTurn(actions);
            if (actor->getTurnState() != 0) {
                return;
            }
        }
        if (current_ != actor) {
            // The participant left the order during its turn; its successor is already current.
            continue;
        }
        exitTurn(actions);
        if (!current_ || (isPlayer(*current_) && entered)) {
            return;
        }
        if (actions.isBlocking()) {
            return;
        }
    }
}

}  // namespace Fenwarrow::Dungeon
