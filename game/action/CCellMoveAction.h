#pragma once
// One step of an actor to a neighbouring cell. In the player's sight the actor slides there
// frame by frame (drawn from its old place while it already stands on the new cell); out of
// sight it is there at once. Every actor's steps run side by side unless the actor moves twice
// per turn or the player steps onto an item, which then is picked up, or, for a floor exit,
// offered in a prompt.
#include <memory>

#include "game/action/CAction.h"
#include "game/dungeon/OxPoint.h"

namespace Fenwarrow {
class CGeneralWindow;
}
namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::Action {

class IActionContext;

class CCellMoveAction : public CAction {
public:
    // Pixels per frame of the slide: normal, and during the player's dash.
    static constexpr float kStep = 5.0f;
    static constexpr float kDashStep = 50.0f;
    // A diagonal step covers more ground per frame.
    static constexpr float kDiagonalFactor = 1.2929439544677734f;
    static constexpr int32_t kVirtualKeyCancel = 6;
    // The item option values of a floor exit: down the stairs, and back up.
    static constexpr int32_t kExitForward = 2;
    static constexpr int32_t kExitBack = 1;

    // Makes the move at once (an unseen actor's move is then already over).
    CCellMoveAction(IActionContext& context, Actor::CActor* actor, Dungeon::MapPoint destination);
    ~CCellMoveAction() override;

    bool isExclusive() const override { return exclusive_; }
    void update() override;
    void draw() override;
    // The actor is drawn on its own cell again.
    void end() override;

    // Turns the actor, checks the step, moves it in the floor and sets the slide up.
    virtual void beginMove();

    bool isVisible() const { return visible_; }
    bool isPromptOpen() const { return promptOpen_; }
    const std::shared_ptr<CGeneralWindow>& getPromptWindow() const { return prompt_; }

private:
    bool isPlayer() const;
    bool destinationHoldsItem() const;
    void slide();
    void arrive();
    void openPrompt(int32_t option, const std::shared_ptr<Item::CItem>& exit);
    void endMove();

    IActionContext& context_;
    Actor::CActor* actor_;
    bool exclusive_ = false;
    Dungeon::MapPoint destination_;
    float remainingX_ = 0.0f;
    float remainingY_ = 0.0f;
    bool diagonal_ = false;
    bool arrived_ = false;
    bool promptOpen_ = false;
    std::shared_ptr<CGeneralWindow> prompt_;
    bool fast_ = false;
    bool visible_ = false;
};

}  // namespace Fenwarrow::Action
