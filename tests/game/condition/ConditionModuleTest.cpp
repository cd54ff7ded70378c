// The Actor module's condition functions reach the actor's condition set; a type number that
// names no condition is answered false and changes nothing.
#include "game/scriptcommand/CActorCommand.h"
#include "game/services/CScriptController.h"
#include "tests/game/condition/ConditionFixture.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace ConditionTest {
namespace {

using Orvex::Script::CScriptValue;

const char* const kProbe = R"(
local function join(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[i] = tostring((select(i, ...))) end
  return table.concat(parts, ",")
end
function probe(a)
  local C = Actor.Condition
  local before = join(C.getName(a), C.isCondition(a, 7))
  local added = join(C.addCondition(a, 7), C.addCondition(a, 3), C.isCondition(a, 7), C.getName(a))
  local bad = join(C.addCondition(a, 23), C.addCondition(a, -1), C.isCondition(a, 99), C.removeCondition(a, 23))
  local removed = join(C.removeCondition(a, 3), C.removeCondition(a, 3), C.getName(a))
  return before .. "|" .. added .. "|" .. bad .. "|" .. removed
end
)";

TEST_F(ConditionFixture, ActorModuleConditionFunctionsForwardToTheSet) {
    Fenwarrow::CScriptController host(game_);
    const auto bytes = ScriptTest::textBytes(kProbe);
    ASSERT_TRUE(host.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
    ASSERT_TRUE(host.attachCommand(std::make_shared<Fenwarrow::ScriptCommand::CActorCommand>(game_)));
    ASSERT_TRUE(host.runMain());
    std::vector<CScriptValue> results;
    host.callFunction(results, "probe", 1,
                      {CScriptValue(static_cast<void*>(static_cast<Fenwarrow::Actor::CActor*>(player_.get())))});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].getText(), "nil,false|true,true,true,倍速|false,false,false,false|true,true,睡眠");
    EXPECT_TRUE(player_->hasCondition(Fenwarrow::Actor::kConditionSleep));
    host.close();
}

}  // namespace
}  // namespace ConditionTest
