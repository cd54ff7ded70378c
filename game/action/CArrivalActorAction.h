#pragma once
// A new enemy arrives on the floor. Its scripts are loaded on the loader thread; placing it,
// adding it to the turn order and its "onArrival" happen on the game thread when the action
// starts, since the floor's cells and turn order are walked there every frame. In the player's
// sight its arrival is shown by a scripted animation.
#include <memory>
#include <string>

#include "game/action/CAction.h"
#include "game/dungeon/OxPoint.h"

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Action {

class IActionContext;

class CArrivalActorAction : public CAction {
public:
    static constexpr int32_t kSearchDepth = 3;
    static constexpr const char16_t* kArrivalScript = u"Script/Lib/Game/Action/Action/ArrivalActorAction.lua";

    CArrivalActorAction(IActionContext& context, std::u16string folder, Dungeon::MapPoint point)
        : context_(context), folder_(std::move(folder)), point_(point) {}

    bool isExclusive() const override { return true; }
    bool needsPreparation() const override { return true; }
    // Loader thread: builds the enemy from its folder (nothing of the floor is touched).
    void prepare() override;
    // Places the enemy near the point; runs the arrival animation when the player can see it.
    void start() override;
    void update() override;
    void end() override;
    void draw() override;

    const std::shared_ptr<Actor::CActor>& getActor() const { return actor_; }
    Dungeon::MapPoint getPoint() const { return point_; }
    const std::shared_ptr<CAction>& getInnerAction() const { return inner_; }

private:
    bool place();

    IActionContext& context_;
    std::u16string folder_;
    Dungeon::MapPoint point_;
    std::shared_ptr<Actor::CActor> actor_;
    std::shared_ptr<CAction> inner_;
};

}  // namespace Fenwarrow::Action
