#include "game/action/CActionManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/thread/ThreadFixture.h"

namespace {

using Fenwarrow::Action::CAction;
using Fenwarrow::Action::CActionManager;

// What the actions of one test did, in order; the loader thread writes to it too.
class Journal {
public:
    void add(const std::string& entry) {
        std::lock_guard<std::mutex> guard(lock_);
        entries_.push_back(entry);
    }
    std::vector<std::string> take() {
        std::lock_guard<std::mutex> guard(lock_);
        return std::exchange(entries_, {});
    }

private:
    std::mutex lock_;
    std::vector<std::string> entries_;
};

// An action that logs its life and finishes after a number of updates (0: in its start).
class ProbeAction : public CAction {
public:
    ProbeAction(Journal& journal, std::string name, bool exclusive, int updates, bool needsPreparation = false)
        : journal_(journal),
          name_(std::move(name)),
          exclusive_(exclusive),
          updates_(updates),
          needsPreparation_(needsPreparation) {}

    bool isExclusive() const override { return exclusive_; }
    bool needsPreparation() const override { return needsPreparation_; }
    void prepare() override {
        preparedOn = std::this_thread::get_id();
        // Held until the test opens the gate, at most ten seconds.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!gateOpen && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        journal_.add("prepare " + name_);
    }
    void start() override {
        journal_.add("start " + name_);
        if (updates_ == 0) {
            setActive(false);
        }
        if (onStart) {
            onStart();
        }
    }
    void update() override {
        journal_.add("update " + name_);
        if (--updates_ <= 0) {
            setActive(false);
        }
    }
    void end() override { journal_.add("end " + name_); }
    void draw() override { journal_.add("draw " + name_); }

    std::atomic<bool> gateOpen{true};
    std::atomic<std::thread::id> preparedOn{};
    std::function<void()> onStart;

private:
    Journal& journal_;
    std::string name_;
    bool exclusive_;
    int updates_;
    bool needsPreparation_;
};

class ActionManager : public ThreadFixture {
protected:
    void SetUp() override {
        ThreadFixture::SetUp();
        manager_ = std::make_unique<CActionManager>();
    }
    void TearDown() override {
        manager_.reset();
        ThreadFixture::TearDown();
    }

    std::shared_ptr<ProbeAction> push(const std::string& name, bool exclusive, int updates, bool prepare = false) {
        auto action = std::make_shared<ProbeAction>(journal_, name, exclusive, updates, prepare);
        manager_->pushAction(action);
        return action;
    }
    // Frames until the condition holds, at most ten seconds of them.
    bool updateUntil(const std::function<bool()>& condition) {
        return eventually([&] {
            manager_->update();
            return condition();
        });
    }
    using Entries = std::vector<std::string>;

    Journal journal_;
    std::unique_ptr<CActionManager> manager_;
};

TEST_F(ActionManager, AnEmptyQueueDoesNothing) {
    manager_->update();
    manager_->draw();
    EXPECT_FALSE(manager_->isBusy());
    EXPECT_FALSE(manager_->isBlocking());
    EXPECT_TRUE(journal_.take().empty());
}

TEST_F(ActionManager, NonExclusiveActionsRunSideBySideAndEndWhenFinished) {
    push("a", false, 1);
    push("b", false, 2);
    EXPECT_TRUE(manager_->isBusy());
    EXPECT_FALSE(manager_->isBlocking());
    manager_->update();
    EXPECT_EQ(journal_.take(), (Entries{"start a", "start b", "update a", "end a", "update b"}));
    manager_->draw();
    EXPECT_EQ(journal_.take(), (Entries{"draw b"}));
    manager_->update();
    EXPECT_EQ(journal_.take(), (Entries{"update b", "end b"}));
    EXPECT_FALSE(manager_->isBusy());
}

TEST_F(ActionManager, AnExclusiveActionWaitsForTheRunningOnesAndHoldsBackWhatFollows) {
    push("walk", false, 2);
    manager_->update();
    push("attack", true, 1);
    push("late", false, 1);
    EXPECT_TRUE(manager_->isBlocking());
    journal_.take();
    manager_->update();
    // The step still runs: the attack and the step queued behind it wait.
    EXPECT_EQ(journal_.take(), (Entries{"update walk", "end walk"}));
    manager_->update();
    EXPECT_EQ(journal_.take(), (Entries{"start attack", "update attack", "end attack"}));
    EXPECT_FALSE(manager_->isBlocking());
    manager_->update();
    EXPECT_EQ(journal_.take(), (Entries{"start late", "update late", "end late"}));
    EXPECT_FALSE(manager_->isBusy());
}

TEST_F(ActionManager, AnExclusiveActionFinishedInItsStartEndsAtOnceAndTheNextStarts) {
    push("instant", true, 0);
    push("next", true, 1);
    manager_->update();
    EXPECT_EQ(journal_.take(), (Entries{"start instant", "end instant", "start next", "update next", "end next"}));
}

TEST_F(ActionManager, PreparationRunsOnTheLoaderOnlyWhileNothingRuns) {
    auto walk = push("walk", false, 3);
    auto scripted = push("scripted", true, 1, true);
    auto behind = push("behind", false, 1);
    // Blocking before it is prepared; the prepared step behind it does not overtake it.
    EXPECT_TRUE(manager_->isBlocking());
    manager_->update();
    manager_->update();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(scripted->isPrepared());
    ASSERT_TRUE(updateUntil([&] { return !manager_->isBusy(); }));
    EXPECT_NE(scripted->preparedOn.load(), std::this_thread::get_id());
    const Entries entries = journal_.take();
    const Entries expectedTail = {"prepare scripted", "start scripted", "update scripted", "end scripted",
                                  "start behind",     "update behind",  "end behind"};
    ASSERT_GE(entries.size(), expectedTail.size());
    EXPECT_EQ(Entries(entries.end() - static_cast<std::ptrdiff_t>(expectedTail.size()), entries.end()), expectedTail);
    EXPECT_EQ(entries.front(), "start walk");
}

TEST_F(ActionManager, AnActionMayPushFromItsStart) {
    auto first = push("first", true, 1);
    first->onStart = [this] { push("pushed", true, 1); };
    ASSERT_TRUE(updateUntil([&] { return !manager_->isBusy(); }));
    EXPECT_EQ(journal_.take(),
              (Entries{"start first", "update first", "end first", "start pushed", "update pushed", "end pushed"}));
}

TEST_F(ActionManager, ClearDropsEveryActionWithoutEndingIt) {
    push("running", false, 5);
    manager_->update();
    push("waiting", true, 1);
    auto loading = push("loading", true, 1, true);
    loading->gateOpen = false;
    manager_->clear();
    EXPECT_FALSE(manager_->isBusy());
    manager_->update();
    loading->gateOpen = true;
    EXPECT_EQ(journal_.take(), (Entries{"start running", "update running"}));
}

// An action that sets the floor up again in its update.
class ClearingAction : public CAction {
public:
    explicit ClearingAction(CActionManager& manager) : manager_(manager) {}
    bool isExclusive() const override { return false; }
    void update() override { manager_.clear(); }

private:
    CActionManager& manager_;
};

TEST_F(ActionManager, ClearFromAnUpdateStopsThatFramesWalk) {
    push("before", false, 3);
    manager_->pushAction(std::make_shared<ClearingAction>(*manager_));
    push("after", false, 3);
    manager_->update();
    EXPECT_EQ(journal_.take(), (Entries{"start before", "start after", "update before"}));
    EXPECT_FALSE(manager_->isBusy());
}

// The floor worker clears the queue while the loader finishes preparations: both sides hold
// the manager's lock, so neither sees the lists half changed.
TEST_F(ActionManager, ClearingWhileTheLoaderPreparesIsSafe) {
    for (int round = 0; round < 200; ++round) {
        push("p" + std::to_string(round), true, 1, true);
        manager_->update();
        if (round % 3 == 0) {
            manager_->clear();
        }
        EXPECT_LE(manager_->isBlocking(), manager_->isBusy());
    }
    manager_->clear();
    EXPECT_FALSE(manager_->isBusy());
}

TEST_F(ActionManager, DestructionWaitsForAPreparationInProgress) {
    auto slow = push("slow", true, 1, true);
    slow->gateOpen = false;
    manager_->update();
    std::thread opener([slow] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        slow->gateOpen = true;
    });
    manager_.reset();
    opener.join();
    // Either the loader had begun (and finished) the preparation or it never started it.
    const Entries entries = journal_.take();
    EXPECT_TRUE(entries.empty() || entries == Entries{"prepare slow"});
}

}  // namespace
