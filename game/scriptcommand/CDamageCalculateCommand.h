#pragma once
// The "DamageCalculate" module: attack, item and trap scripts fill an actor's damage calculator,
// run it and read its result, and set the category values that damage factors compare.
#include <array>
#include <functional>
#include <utility>

#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow {
class IGameContext;
}
namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::ScriptCommand {

class CDamageCalculateCommand : public CScriptCommandBase<CDamageCalculateCommand> {
public:
    static constexpr std::size_t kCategoryCount = 14;
    // The floor in play; null while there is none. Without one, the game's current floor.
    using FloorSource = std::function<Dungeon::CDungeon*()>;
    // Queues the target's on-damage script after a hit that did damage. Without one, the
    // floor's action queue takes it.
    using OnDamageQueue = std::function<void(Actor::CActor&)>;

    explicit CDamageCalculateCommand(IGameContext& context, FloorSource currentFloor = {},
                                     OnDamageQueue queueOnDamage = {})
        : context_(context), currentFloor_(std::move(currentFloor)), queueOnDamage_(std::move(queueOnDamage)) {}

    bool registerFunctions(CScriptController& controller) override;

    IGameContext& getContext() const { return context_; }
    Dungeon::CDungeon* getFloor() const;
    void queueOnDamage(Actor::CActor& target) const;
    // The module's own category values for one calculation: category 0 at 1, the rest 0.
    std::array<float, kCategoryCount>& getOriginParam() { return originParam_; }

private:
    IGameContext& context_;
    FloorSource currentFloor_;
    OnDamageQueue queueOnDamage_;
    std::array<float, kCategoryCount> originParam_{1.0f};
};

}  // namespace Fenwarrow::ScriptCommand
