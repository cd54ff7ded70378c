#include "game/control/CPlayerLayer.h"

#include "engine/input/OxVirtualKey.h"
#include "engine/io/OxStreamIO.h"
#include "engine/random/OxRandomRange.h"
#include "game/action/CActionManager.h"
#include "game/action/CCellMoveAction.h"
#include "game/action/IActionContext.h"
#include "game/actor/CPlayer.h"
#include "game/actor/ConditionType.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/CRoom.h"
#include "game/replay/CReplayController.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/IGameContext.h"
#include "game/services/RenderLayerNames.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/IOrvexSpriteDraw.h"
#include "graphics/include/IOrvexTextureManager.h"

namespace Fenwarrow::SceneLayer {
namespace {

constexpr char16_t kArrow4Path[] = u"HUD/Arrow4.tga";
constexpr char16_t kArrow8Path[] = u"HUD/Arrow8.tga";
constexpr float kArrowX = 270.0f;
constexpr float kArrowY = 180.0f;
constexpr int32_t kMenuOpenSound = 0;

enum Direction : int32_t {
    kNorth = 0,
    kNorthEast = 1,
    kEast = 2,
    kSouthEast = 3,
    kSouth = 4,
    kSouthWest = 5,
    kWest = 6,
    kNorthWest = 7,
};

int32_t wrapDirection(int32_t direction) { return ((direction % 8) + 8) % 8; }

constexpr int32_t kFirstDirection = 0;
constexpr int32_t kLastDirection = 7;

}  // namespace

CPlayerLayer::CPlayerLayer(Services services, Dungeon::CDungeon& dungeon, Actor::CPlayer& player)
    : services_(std::move(services)), dungeon_(dungeon), player_(player) {
    keys_ = services_.actions->getVirtualKey();
    if (services_.makeMenu) {
        menu_ = services_.makeMenu(player_);
    }
    arrow4_ = loadTexture(kArrow4Path);
    arrow8_ = loadTexture(kArrow8Path);
    dungeon_.getLogManager().addListener(this);
}

CPlayerLayer::~CPlayerLayer() { dungeon_.getLogManager().removeListener(this); }

Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> CPlayerLayer::loadTexture(const char16_t* path) {
    Orvex::Graphics::IOrvexTextureManager* textures =
        services_.renderer != nullptr ? services_.renderer->getTextureManager() : nullptr;
    Orvex::IO::StreamIO::IOrvexStreamReader& reader = services_.actions->getGameContext().getArchiveReader();
    if (textures == nullptr || !reader.open(path)) {
        return {};
    }
    Orvex::Graphics::IOrvexTexture* texture = nullptr;
    const bool made = textures->createTexture(&texture, &reader) >= 0;
    reader.close();
    return made ? Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(texture)
                : Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>();
}

bool CPlayerLayer::setup() {
    alive = true;
    return true;
}

void CPlayerLayer::stopDash() {
    dashing_ = false;
    running_ = false;
    waitRelease_ = false;
    player_.setAnimationSpeed(kNormalSpeed);
}

void CPlayerLayer::onLog() {
    if (dashSpeed_ || running_) {
        player_.setAnimationSpeed(kNormalSpeed);
    }
    running_ = false;
    dashSpeed_ = false;
    dashing_ = false;
}

Dungeon::MapPoint CPlayerLayer::playerPoint() const {
    return player_.getCell() != nullptr ? player_.getCell()->getPoint() : Dungeon::kInvalidPoint;
}

void CPlayerLayer::endTurn() { player_.setTurnState(0); }

bool CPlayerLayer::pushMove(Dungeon::MapPoint target) {
    auto* queue = dynamic_cast<Action::CActionManager*>(actions_);
    if (queue == nullptr) {
        return false;
    }
    auto step = std::make_shared<Action::CCellMoveAction>(*services_.actions, &player_, target);
    queue->pushAction(step);
    return step->isActive();
}

void CPlayerLayer::onTurn(Dungeon::IActionManager& actions) {
    if (!focused) {
        return;
    }
    services_.actions->updateReplay();
    keys_ = services_.actions->getVirtualKey();
    if (keys_ == nullptr) {
        return;
    }
    actions_ = &actions;
    if (dashSpeed_) {
        player_.setAnimationSpeed(kNormalSpeed);
        dashSpeed_ = false;
    }
    switch (inputState_) {
        case kInputNormal:
            normalInput();
            break;
        case kInputMenu:
            if (menu_ == nullptr || !menu_->isOpen()) {
                inputState_ = kInputNormal;
            } else {
                menu_->update();
            }
            break;
        case kInputTurn:
            turnInput();
            break;
        case kInputDiagonal:
            diagonalInput();
            break;
        case kInputMap:
            mapViewInput();
            break;
        default:
            inputState_ = kInputNormal;
            break;
    }
    actions_ = nullptr;
}

void CPlayerLayer::normalInput() {
    if (move()) {
        return;
    }
    if (keys_->isDown(kKeyTurn)) {
        inputState_ = kInputTurn;
        // A blind player cannot see whom to turn to.
        if (keys_->isPushed(kKeyTurn) && !player_.hasCondition(Actor::kConditionBlind)) {
            turnToNextNeighbour();
        }
    } else if (keys_->isPushed(kKeyMenu)) {
        if (menu_ == nullptr) {
            return;
        }
        dungeon_.getLogManager().clear();
        menu_->openRoot();
        inputState_ = kInputMenu;
        services_.actions->playSystemSE(kMenuOpenSound);
    } else if (keys_->isPushed(kKeyAttack)) {
        // A confused player swings in any direction.
        if (player_.hasCondition(Actor::kConditionConfusion)) {
            player_.getStatus().setDirection(Orvex::Random::getRange(random(), kFirstDirection, kLastDirection));
        }
        player_.callCommand("doActorAttack", {});
    } else if (keys_->isPushed(kKeyShoot)) {
        player_.callCommand("doActorShoot", {});
    } else if (keys_->isDown(kKeyDiagonal)) {
        inputState_ = kInputDiagonal;
    } else if (keys_->isPushed(kKeyMap)) {
        inputState_ = kInputMap;
    }
}

void CPlayerLayer::turnToNextNeighbour() {
    const Dungeon::MapPoint here = playerPoint();
    const auto around = dungeon_.getAroundActorList(here);
    const int32_t facing = player_.getStatus().getDirection();
    for (int32_t k = 1; k < 8; ++k) {
        const int32_t direction = wrapDirection(facing + k);
        for (Actor::CActor* actor : around) {
            if (actor == nullptr || !actor->getStatus().getShown() || actor->getCell() == nullptr) {
                continue;
            }
            if (Dungeon::CDungeon::getDirectionIndex(here, actor->getCell()->getPoint()) == direction) {
                player_.getStatus().setDirection(direction);
                player_.playMotion(u"Walk", true, true, true);
                return;
            }
        }
    }
}

CPlayerLayer::Step CPlayerLayer::diagonalFromKeys() {
    const bool up = keys_->isDown(kKeyUp);
    const bool down = keys_->isDown(kKeyDown);
    const bool right = keys_->isDown(kKeyRight);
    const bool left = keys_->isDown(kKeyLeft);
    if (up && right) {
        return {kNorthEast, 1, -1};
    }
    if (down && right) {
        return {kSouthEast, 1, 1};
    }
    if (down && left) {
        return {kSouthWest, -1, 1};
    }
    if (up && left) {
        return {kNorthWest, -1, -1};
    }
    return {};
}

Orvex::Random::IOrvexRandomGenerator& CPlayerLayer::random() {
    return services_.actions->getGameContext().getRandomGenerator();
}

void CPlayerLayer::confuseStep(Step& step) {
    // The keys still name the direction; the feet go where they will (x drawn before y).
    if (player_.hasCondition(Actor::kConditionConfusion)) {
        step.dx = Orvex::Random::getRange(random(), -1, 1);
        step.dy = Orvex::Random::getRange(random(), -1, 1);
    }
}

bool CPlayerLayer::move() {
    const bool starving = player_.hasCondition(Actor::kConditionStarvation);
    // A fast rest: the turn passes without a step, quickly. A starving player cannot rest
    // through the turns that cost it life, nor run through them.
    if (!starving && keys_->isDown(kKeyRun) && keys_->isDown(kKeyAttack)) {
        player_.setAnimationSpeed(kDashMotionSpeed);
        dashSpeed_ = true;
        if (!dungeon_.checkAnyActorInSight(&player_)) {
            dashing_ = true;
        }
        endTurn();
        return true;
    }
    if (running_) {
        return continueRun();
    }
    if (waitRelease_) {
        if (keys_->isDown(kKeyUp) || keys_->isDown(kKeyDown) || keys_->isDown(kKeyRight) || keys_->isDown(kKeyLeft)) {
            return true;
        }
        dashing_ = false;
        running_ = false;
        waitRelease_ = false;
        player_.setAnimationSpeed(kNormalSpeed);
    }
    Step step = diagonalFromKeys();
    if (step.direction < 0) {
        if (keys_->getHoldCount(kKeyUp) >= kSingleKeyHold) {
            step = {kNorth, 0, -1};
        } else if (keys_->getHoldCount(kKeyDown) >= kSingleKeyHold) {
            step = {kSouth, 0, 1};
        } else if (keys_->getHoldCount(kKeyRight) >= kSingleKeyHold) {
            step = {kEast, 1, 0};
        } else if (keys_->getHoldCount(kKeyLeft) >= kSingleKeyHold) {
            step = {kWest, -1, 0};
        }
    }
    if (step.direction < 0) {
        lastDirection_ = -1;
        dashing_ = false;
        running_ = false;
        waitRelease_ = false;
        return false;
    }
    confuseStep(step);
    const Dungeon::MapPoint here = playerPoint();
    const Dungeon::MapPoint target{here.x + step.dx, here.y + step.dy};
    if (!keys_->isDown(kKeyRun) || starving) {
        dashing_ = false;
        running_ = false;
        waitRelease_ = false;
    } else {
        dashing_ = true;
        running_ = true;
        runDx_ = step.dx;
        runDy_ = step.dy;
        dungeon_.getAroundCellInfo(here.x, here.y, aroundKind_, aroundVisible_);
        waitRelease_ = true;
    }
    lastDirection_ = step.direction;
    if (!pushMove(target)) {
        return false;
    }
    endTurn();
    return true;
}

bool CPlayerLayer::continueRun() {
    const Dungeon::MapPoint here = playerPoint();
    const int32_t facing = player_.getStatus().getDirection();
    int32_t kinds[8] = {};
    bool visible[8] = {};
    dungeon_.getAroundCellInfo(here.x, here.y, kinds, visible);
    bool openRoom = true;
    for (int32_t d = 0; d < 8; ++d) {
        openRoom = openRoom && kinds[d] == Dungeon::kCellFloor && !visible[d];
    }
    if (!openRoom) {
        for (int32_t offset = -2; offset <= 2; ++offset) {
            const auto d = static_cast<std::size_t>(wrapDirection(facing + offset));
            const bool even = offset % 2 == 0;
            // Straight ahead and the two sides: a side opening or a passage opens.
            if (even && kinds[d] != aroundKind_[d] && kinds[d] == Dungeon::kCellFloor) {
                running_ = false;
            }
            // Ahead and the two half-sides: something shows up.
            if ((offset >= -1 && offset <= 1) && visible[d]) {
                running_ = false;
            }
            aroundKind_[d] = kinds[d];
            aroundVisible_[d] = visible[d];
        }
        if (!running_) {
            player_.setAnimationSpeed(kNormalSpeed);
            return true;
        }
    }
    const Dungeon::MapPoint target{here.x + runDx_, here.y + runDy_};
    // A run stops before it steps onto a room's exit.
    if (const Dungeon::CRoom* room = player_.getCell() != nullptr ? player_.getCell()->room : nullptr) {
        for (int32_t gate = 0; const Dungeon::MapPoint* point = room->getRoomGate(gate); ++gate) {
            if (*point == target) {
                running_ = false;
                return true;
            }
        }
    }
    if (pushMove(target)) {
        player_.setAnimationSpeed(kDashMotionSpeed);
        endTurn();
    } else {
        running_ = false;
    }
    return true;
}

void CPlayerLayer::turnInput() {
    if (!keys_->isDown(kKeyTurn)) {
        inputState_ = kInputNormal;
        return;
    }
    int32_t direction = diagonalFromKeys().direction;
    if (direction < 0) {
        if (keys_->getHoldCount(kKeyUp) == kSingleKeyHold) {
            direction = kNorth;
        } else if (keys_->getHoldCount(kKeyDown) == kSingleKeyHold) {
            direction = kSouth;
        } else if (keys_->getHoldCount(kKeyRight) == kSingleKeyHold) {
            direction = kEast;
        } else if (keys_->getHoldCount(kKeyLeft) == kSingleKeyHold) {
            direction = kWest;
        }
    }
    if (direction >= 0) {
        player_.getStatus().setDirection(direction);
        player_.playMotion(u"Walk", true, true, true);
    }
}

void CPlayerLayer::diagonalInput() {
    if (!keys_->isDown(kKeyDiagonal)) {
        inputState_ = kInputNormal;
        return;
    }
    Step step = diagonalFromKeys();
    if (step.direction < 0) {
        return;
    }
    confuseStep(step);
    const Dungeon::MapPoint here = playerPoint();
    if (pushMove({here.x + step.dx, here.y + step.dy})) {
        endTurn();
    }
}

void CPlayerLayer::mapViewInput() {
    if (keys_->isDown(kKeyMap)) {
        dungeon_.setHudVisible(false);
        return;
    }
    inputState_ = kInputNormal;
    dungeon_.setHudVisible(true);
}

void CPlayerLayer::update() {
    Replay::CReplayController* replay = services_.replay;
    Orvex::InputSystem::OxVirtualKey* live = services_.liveKeys;
    if (replay == nullptr || live == nullptr || replay->getMode() != Replay::CReplayController::kModePlayback) {
        return;
    }
    const uint32_t speed = replay->getSpeedIndex();
    if (live->isPushed(kKeyLeft) || live->isPushed(kKeyDown)) {
        // At the lowest speed, one slower stays there instead of counting down past zero.
        replay->setSpeed(speed > 0 ? speed - 1 : 0);
    } else if (live->isPushed(kKeyRight) || live->isPushed(kKeyUp)) {
        replay->setSpeed(speed + 1);
    }
    if (live->isPushed(kKeyRun)) {
        replay->stop();
        dungeon_.requestExitScene(Scene::kSceneResult);
    }
}

void CPlayerLayer::draw() {
    // The queue runs after this frame's updates; a layer released before then draws nothing.
    services_.actions->addRenderQueue(ScriptCommand::getRenderPriority(u"GameMenu"), [weak = weak_from_this()] {
        if (const auto layer = weak.lock()) {
            layer->drawByState();
        }
    });
}

void CPlayerLayer::drawByState() {
    Orvex::Graphics::IOrvexTexture* texture = nullptr;
    switch (inputState_) {
        case kInputMenu:
            if (menu_ != nullptr && menu_->isOpen()) {
                menu_->draw();
            }
            return;
        case kInputTurn:
            texture = arrow8_.get();
            break;
        case kInputDiagonal:
            texture = arrow4_.get();
            break;
        default:
            return;
    }
    Orvex::Graphics::IOrvexSpriteDraw* sprites =
        services_.renderer != nullptr ? services_.renderer->getSpriteDraw() : nullptr;
    if (texture == nullptr || sprites == nullptr) {
        return;
    }
    const Orvex::Graphics::OxRect destination{kArrowX, kArrowY, kArrowX + static_cast<float>(texture->getWidth()),
                                              kArrowY + static_cast<float>(texture->getHeight())};
    sprites->draw(texture, &destination, nullptr);
}

}  // namespace Fenwarrow::SceneLayer
