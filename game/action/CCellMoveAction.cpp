#include "game/action/CCellMoveAction.h"

#include <cmath>

#include "engine/input/OxVirtualKey.h"
#include "game/action/CActionManager.h"
#include "game/action/CTakeItemAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CActor.h"
#include "game/actor/ConditionType.h"
#include "game/dungeon/CCellObject.h"
#include "game/dungeon/CDungeon.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/item/CItem.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::Action {

namespace {

int32_t sign(int32_t value) { return (value > 0) - (value < 0); }

// The facing for a step by (dx, dy), each -1..1: 0 up, then clockwise; -1 for no step.
int32_t directionOf(int32_t dx, int32_t dy) {
    static constexpr int32_t kDirections[3][3] = {
        {7, 0, 1},   // dy -1
        {6, -1, 2},  // dy 0
        {5, 4, 3},   // dy 1
    };
    return kDirections[dy + 1][dx + 1];
}

}  // namespace

CCellMoveAction::CCellMoveAction(IActionContext& context, Actor::CActor* actor, Dungeon::MapPoint destination)
    : context_(context), actor_(actor), destination_(destination) {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    if (actor_ == nullptr || floor == nullptr) {
        setActive(false);
        return;
    }
    fast_ = actor_->getActionsLeft() >= 2;
    visible_ = floor->checkCellObjectInActorSight(actor_, floor->getPlayer().get());
    beginMove();
    if (visible_) {
        if (fast_) {
            exclusive_ = true;
        }
        return;
    }
    actor_->setDrawOffset(0.0f, 0.0f);
    exclusive_ = false;
    setActive(false);
}

CCellMoveAction::~CCellMoveAction() = default;

bool CCellMoveAction::isPlayer() const { return actor_ != nullptr && actor_->getActorType() == Actor::CActor::kPlayer; }

bool CCellMoveAction::destinationHoldsItem() const {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    const Dungeon::CMapCell* cell = floor != nullptr ? floor->getMap().getCell(destination_) : nullptr;
    if (cell == nullptr) {
        return false;
    }
    for (const Dungeon::CCellObject* object : cell->objects) {
        if (object != nullptr && object->getCellObjectType() == Dungeon::CCellObject::kItem) {
            return true;
        }
    }
    return false;
}

void CCellMoveAction::beginMove() {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    const Dungeon::CMapCell* origin = actor_->getCell();
    if (origin != nullptr) {
        const int32_t dx = sign(destination_.x - origin->x);
        const int32_t dy = sign(destination_.y - origin->y);
        const int32_t direction = directionOf(dx, dy);
        if (direction >= 0) {
            actor_->getStatus().setDirection(direction);
        }
        diagonal_ = dx != 0 && dy != 0;
    }
    actor_->playMotion(u"Walk", true, true, true);
    if (origin == nullptr || floor == nullptr || !floor->isMovable(actor_, destination_, true)) {
        setActive(false);
        return;
    }
    if (isPlayer() && destinationHoldsItem()) {
        exclusive_ = true;
    }
    const Dungeon::MapPoint from = origin->getPoint();
    if (!floor->putCellObject(actor_, destination_, false)) {
        setActive(false);
        return;
    }
    const auto cellSize = static_cast<float>(floor->getMap().getCellSize());
    remainingX_ = static_cast<float>(destination_.x - from.x) * cellSize;
    remainingY_ = static_cast<float>(destination_.y - from.y) * cellSize;
    if (isPlayer()) {
        floor->getMapRenderer().setDrawOffset({remainingX_, remainingY_});
    }
    actor_->setDrawOffset(-remainingX_, -remainingY_);
    floor->track(actor_, from);
}

void CCellMoveAction::slide() {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    float step = context_.isPlayerDashing() ? kDashStep : kStep;
    if (actor_->hasCondition(Actor::kConditionQuick)) {
        step *= 2.0f;
    } else if (actor_->hasCondition(Actor::kConditionSlow)) {
        step *= 0.5f;
    }
    if (diagonal_) {
        step *= kDiagonalFactor;
    }
    const float length = std::sqrt(remainingX_ * remainingX_ + remainingY_ * remainingY_);
    if (length < step) {
        remainingX_ = 0.0f;
        remainingY_ = 0.0f;
    } else {
        remainingX_ -= remainingX_ / length * step;
        remainingY_ -= remainingY_ / length * step;
    }
    const bool player = isPlayer() && floor != nullptr;
    if (remainingX_ == 0.0f && remainingY_ == 0.0f) {
        if (player) {
            floor->getMapRenderer().setDrawOffset({0.0f, 0.0f});
        }
        actor_->setDrawOffset(0.0f, 0.0f);
        arrived_ = true;
        return;
    }
    if (player) {
        floor->getMapRenderer().setDrawOffset({remainingX_, remainingY_});
    }
    actor_->setDrawOffset(-remainingX_, -remainingY_);
}

void CCellMoveAction::arrive() {
    Dungeon::CDungeon* floor = context_.getCurrentDungeon();
    if (!exclusive_ || !isPlayer() || floor == nullptr || !destinationHoldsItem()) {
        setActive(false);
        return;
    }
    const std::shared_ptr<Item::CItem> item = floor->getCellItem(floor->getMap().getCell(destination_));
    const int32_t option = item != nullptr ? item->getStatus().getAnotherOption() : 0;
    if (item == nullptr) {
        setActive(false);
        return;
    }
    if (option != kExitForward && option != kExitBack) {
        if (CActionManager* actions = context_.getActionManager()) {
            actions->pushAction(std::make_shared<CTakeItemAction>(context_, actor_, item.get()));
        }
        context_.stopPlayerDash();
        setActive(false);
        return;
    }
    // A berserk actor does not stop here to choose: the move ends, yet the prompt still opens.
    if (actor_->hasCondition(Actor::kConditionBerserk)) {
        setActive(false);
    }
    openPrompt(option, item);
}

void CCellMoveAction::openPrompt(int32_t option, const std::shared_ptr<Item::CItem>& exit) {
    prompt_ = context_.createGeneralWindow();
    if (prompt_ == nullptr) {
        endMove();
        return;
    }
    prompt_->setWindowMode(CGeneralWindow::kModeList);
    prompt_->showTitle = true;
    prompt_->title = u"移動";
    // The exit stays alive while its choice may still be made.
    prompt_->addListItemEx(
        option == kExitForward ? u"すすむ" : u"もどる",
        [this, exit](CGeneralWindow::CListItem*, int32_t) {
            actor_->callCommand("doItem", {exit.get()});
            endMove();
        },
        static_cast<uint32_t>(option));
    prompt_->addListItemEx(
        u"閉じる", [this](CGeneralWindow::CListItem*, int32_t) { endMove(); }, 0);
    prompt_->setSelectItemIndex(0);
    prompt_->x = 520.0f;
    prompt_->y = 90.0f;
    const float size[2] = {250.0f, 190.0f};
    prompt_->setWindowSize(size);
    promptOpen_ = true;
}

void CCellMoveAction::endMove() {
    setActive(false);
    if (isPlayer()) {
        context_.stopPlayerContinuousMove();
    }
}

void CCellMoveAction::update() {
    if (!isActive()) {
        return;
    }
    // A step outlives its actor when the actor dies or leaves the floor during the slide.
    if (Actor::CActor::findLiveActor(actor_) == nullptr) {
        actor_ = nullptr;
        setActive(false);
        return;
    }
    if (!arrived_) {
        slide();
        if (!arrived_) {
            return;
        }
    }
    if (!promptOpen_) {
        arrive();
        return;
    }
    context_.updateReplay();
    prompt_->update(context_.getFrameTime());
    Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey();
    if (isActive() && ((keys != nullptr && keys->isPushed(kVirtualKeyCancel)) || !actor_->isAlive())) {
        endMove();
    }
}

void CCellMoveAction::draw() {
    if (prompt_ != nullptr) {
        std::shared_ptr<CGeneralWindow> window = prompt_;
        context_.addRenderQueue(ScriptCommand::getRenderPriority(u"GameMenu"), [window] { window->draw(); });
    }
}

void CCellMoveAction::end() {
    if (Actor::CActor::findLiveActor(actor_) != nullptr) {
        actor_->setDrawOffset(0.0f, 0.0f);
    }
}

}  // namespace Fenwarrow::Action
