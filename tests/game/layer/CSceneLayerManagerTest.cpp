#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "game/layer/CSceneLayerManager.h"

namespace {

using Fenwarrow::SceneLayer::CSceneLayer;
using Fenwarrow::SceneLayer::CSceneLayerManager;

// Writes what happens to it into a shared log; `onUpdate` lets a test act from inside update.
class LoggingLayer : public CSceneLayer {
public:
    LoggingLayer(std::string name, std::vector<std::string>* log, bool setupResult = true)
        : name_(std::move(name)), log_(log), setupResult_(setupResult) {}

    bool setup() override {
        alive = setupResult_;
        return setupResult_;
    }
    void update() override {
        log_->push_back(name_ + (focused ? ".update*" : ".update"));
        if (onUpdate) onUpdate(*this);
    }
    void draw() override { log_->push_back(name_ + ".draw"); }
    void leave() { alive = false; }

    std::function<void(LoggingLayer&)> onUpdate;

private:
    std::string name_;
    std::vector<std::string>* log_;
    bool setupResult_;
};

class CSceneLayerManagerTest : public ::testing::Test {
protected:
    std::shared_ptr<LoggingLayer> make(const std::string& name, bool setupResult = true) {
        return std::make_shared<LoggingLayer>(name, &log, setupResult);
    }
    std::vector<std::string> frame() {
        log.clear();
        manager.update();
        manager.draw();
        return log;
    }

    std::vector<std::string> log;
    CSceneLayerManager manager;
};

using Log = std::vector<std::string>;

TEST_F(CSceneLayerManagerTest, AddedLayersJoinAtTheNextUpdateAndOnlyTheTopIsFocused) {
    auto bottom = make("a");
    ASSERT_TRUE(manager.addLayer(bottom));
    EXPECT_FALSE(manager.isRunning());  // queued, not yet on the stack
    EXPECT_EQ(frame(), (Log{"a.update*", "a.draw"}));
    ASSERT_TRUE(manager.addLayer(make("b")));
    // The new top takes the focus in the same step that adds it; updates run top down.
    EXPECT_EQ(frame(), (Log{"b.update*", "a.update", "a.draw", "b.draw"}));
    EXPECT_EQ(manager.getLayerCount(), 2u);
}

TEST_F(CSceneLayerManagerTest, ALayerThatLeavesIsDrawnThatFrameAndGoneTheNext) {
    auto layer = make("a");
    manager.addLayer(layer);
    frame();
    layer->onUpdate = [](LoggingLayer& self) { self.leave(); };
    EXPECT_EQ(frame(), (Log{"a.update*", "a.draw"}));
    EXPECT_EQ(frame(), Log{});
    EXPECT_FALSE(manager.isRunning());
}

TEST_F(CSceneLayerManagerTest, AFailedSetupKeepsTheLayerOut) {
    EXPECT_FALSE(manager.addLayer(make("bad", /*setupResult=*/false)));
    EXPECT_FALSE(manager.addLayer(nullptr));
    EXPECT_EQ(frame(), Log{});
}

TEST_F(CSceneLayerManagerTest, ALayerAddedDuringUpdateRunsFromTheNextFrame) {
    auto bottom = make("a");
    manager.addLayer(bottom);
    bottom->onUpdate = [this](LoggingLayer& self) {
        manager.addLayer(make("b"));
        self.onUpdate = nullptr;
    };
    EXPECT_EQ(frame(), (Log{"a.update*", "a.draw"}));
    EXPECT_EQ(frame(), (Log{"b.update*", "a.update", "a.draw", "b.draw"}));
}

TEST_F(CSceneLayerManagerTest, WithoutFocusNoLayerIsFocused) {
    manager.addLayer(make("a"));
    manager.setEnableFocus(false);
    EXPECT_EQ(frame(), (Log{"a.update", "a.draw"}));
}

TEST_F(CSceneLayerManagerTest, ClearEmptiesEverythingAndEnablesFocusAgain) {
    manager.addLayer(make("a"));
    frame();
    manager.addLayer(make("queued"));
    manager.setEnableFocus(false);
    manager.clear();
    EXPECT_TRUE(manager.getEnableFocus());
    EXPECT_EQ(frame(), Log{});
}

}  // namespace

namespace {

// A layer whose update and draw touch memory it owns, so a layer freed under a running walk
// shows up under the sanitizers.
class BusyLayer : public CSceneLayer {
public:
    bool setup() override {
        alive = true;
        return true;
    }
    void update() override { ++(*counter); }
    void draw() override { ++(*counter); }

    std::unique_ptr<int> counter = std::make_unique<int>(0);
};

// The floor's worker clears the stack and adds the new floor's layers while the game thread
// updates and draws it every frame.
TEST(CSceneLayerManagerThreads, AWorkerRefillsTheStackWhileTheGameThreadWalksIt) {
    CSceneLayerManager manager;
    constexpr int kRefills = 20000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kRefills; ++i) {
            manager.clear();
            for (int j = 0; j < 3; ++j) {
                manager.addLayer(std::make_shared<BusyLayer>());
            }
        }
        done.store(true);
    });
    while (!done.load()) {
        manager.update();
        manager.draw();
    }
    worker.join();
    manager.update();
    EXPECT_EQ(manager.getLayerCount(), 3u);
}

}  // namespace
