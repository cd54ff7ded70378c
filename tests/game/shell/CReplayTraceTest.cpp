// The replay trace: a digest of the game's state that follows what the game did and nothing
// else, written once per change at the step that made it.
#include "game/shell/CReplayTrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "game/replay/CReplayController.h"
#include "tests/engine/thread/DebugCapture.h"
#include "tests/game/replay/ReplayTestSupport.h"
#include "tests/game/shell/GameDataFixture.h"

namespace {

using Fenwarrow::CGameDataManager;
using Fenwarrow::CReplayTrace;
using Fenwarrow::Replay::CReplayController;

class ReplayTrace : public GameTest::GameDataFixture {};

// Each change the game makes to what it plays with changes the digest; the same state gives the
// same digest.
TEST_F(ReplayTrace, TheDigestFollowsTheGamesState) {
    const uint64_t before = CReplayTrace::digest(data_.get(), nullptr);
    EXPECT_EQ(CReplayTrace::digest(data_.get(), nullptr), before);
    EXPECT_NE(CReplayTrace::digest(nullptr, nullptr), before);
    const std::vector<std::pair<const char*, std::function<void(CGameDataManager&)>>> changes = {
        {"money", [](CGameDataManager& data) { data.setPlayerMoney(data.getPlayerMoney() + 1); }},
        {"life", [](CGameDataManager& data) { data.getPlayer()->getStatus().setLife(3.0f); }},
        {"an item", [this](CGameDataManager&) { carry(1, u"薬"); }},
    };
    uint64_t last = before;
    for (const auto& [what, change] : changes) {
        change(*data_);
        const uint64_t now = CReplayTrace::digest(data_.get(), nullptr);
        EXPECT_NE(now, last) << what;
        last = now;
    }
}

// A line when a step was taken and the state changed since the last line; a fresh start when the
// mode changes; playback says each change of its speed.
TEST_F(ReplayTrace, WritesAStepOnlyWhenTheStateChanged) {
    ReplayTestGame game;
    CReplayController controller(game);
    CReplayTrace trace(true);
    DebugCapture output;
    const auto pass = [&](bool step) {
        if (step) {
            game.advance(busyPattern);
            controller.update();
        }
        trace.afterUpdatePass(controller, data_.get(), nullptr);
    };
    pass(false);  // mode off: nothing
    controller.setMode(CReplayController::kModeRecording);
    pass(true);   // step 1: the first line
    pass(false);  // no step
    pass(true);   // step 2, same state
    data_->setPlayerMoney(500);
    pass(false);  // changed, but no step taken
    pass(true);   // step 3, changed
    const auto digest = [this] {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx",
                      static_cast<unsigned long long>(CReplayTrace::digest(data_.get(), nullptr)));
        return Orvex::System::widen(text);
    };
    const std::vector<std::u16string> lines = output.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind(u"Replay step 1: ", 0), 0u);
    EXPECT_EQ(lines[1], u"Replay step 3: " + digest());

    // The three steps played back, as the title starts a replay.
    ASSERT_TRUE(controller.saveReplayFile(u"trace.lrd"));
    ASSERT_TRUE(controller.loadReplay(u"trace.lrd"));
    controller.setMode(CReplayController::kModePlayback);
    controller.start();
    controller.setSpeed(3);
    pass(true);  // frame 1 of 3: the speed, and the state written afresh
    const std::vector<std::u16string> after = output.lines();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[2], u"Replay speed: 8 update steps a frame");
    EXPECT_EQ(after[3], u"Replay step 1: " + digest());
}

TEST_F(ReplayTrace, IsSilentWhenNotAskedFor) {
    ReplayTestGame game;
    CReplayController controller(game);
    CReplayTrace trace(false);
    DebugCapture output;
    controller.setMode(CReplayController::kModeRecording);
    game.advance(busyPattern);
    controller.update();
    trace.afterUpdatePass(controller, data_.get(), nullptr);
    EXPECT_TRUE(output.lines().empty());
}

}  // namespace
