#pragma once
// An enemy changes level: it is replaced by the variant of its kind at that level (the
// nearest lower level the archives hold), in its place, its turn-order slot and its facing,
// with two log lines and a scripted flash. The variant is built on the loader thread; the
// swap happens on the game thread when the action starts.
#include <cstdint>
#include <memory>
#include <string>

#include "game/action/CAction.h"

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Action {

class IActionContext;

class CEnemyLevelUPAction : public CAction {
public:
    static constexpr int32_t kMinLevel = 1;
    static constexpr int32_t kMaxLevel = 3;
    // Frames before the new actor shows.
    static constexpr int32_t kShowDelay = 5;
    static constexpr int32_t kLevelChangeSound = 11;
    static constexpr const char16_t* kLevelUpScript = u"Script/Lib/Game/Action/Action/EnemyLevelUPAction.lua";

    CEnemyLevelUPAction(IActionContext& context, Actor::CActor* actor, int32_t level);

    bool isExclusive() const override { return true; }
    bool needsPreparation() const override { return true; }
    // Loader thread: finds the variant's folder and builds the new actor and its flash.
    void prepare() override;
    void start() override;
    void update() override;
    void end() override;
    void draw() override;

    // "Actor/Enemy/<code>/<code><level, two digits>/" for the kind of the actor's folder.
    static std::u16string getVariantFolder(const std::u16string& actorFolder, int32_t level);

    bool isEnabled() const { return enabled_; }
    int32_t getLevel() const { return level_; }
    const std::shared_ptr<Actor::CActor>& getNewActor() const { return newActor_; }

private:
    bool hasVariant(const std::u16string& folder) const;
    bool swap();

    IActionContext& context_;
    // Read again only while the actor lives (it may die before the change starts).
    Actor::CActor* oldActor_;
    // Taken at construction on the game thread: the loader never reads the old actor.
    std::u16string oldFolder_;
    int32_t oldLevel_ = 0;
    int32_t level_;
    std::shared_ptr<Actor::CActor> newActor_;
    std::shared_ptr<CAction> inner_;
    bool enabled_;
    int32_t countdown_ = 0;
    bool innerStarted_ = false;
};

}  // namespace Fenwarrow::Action
