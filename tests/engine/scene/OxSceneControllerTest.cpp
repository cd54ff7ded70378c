#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/scene/OxSceneController.h"

namespace {

using namespace Orvex::SceneController;

// What a fake scene of one id does; every scene of that id behaves alike.
struct Behaviour {
    bool initializeOk = true;
    bool updateOk = true;
    bool finalizeOk = true;
    bool comeBackOk = true;
    // Only the first scene object of this id initialises; a rebuilt one refuses.
    bool refuseRebuild = false;
    // Posted during the first update of a scene of this id (once per id, not per object, so a
    // rebuilt scene does not post it again).
    std::optional<std::pair<int32_t, uint32_t>> postOnFirstUpdate;
};

using Log = std::vector<std::string>;
constexpr size_t kRunaway = 1000;

class RecordingScene : public OxSceneBase {
public:
    RecordingScene(int32_t id, const Behaviour& behaviour, bool rebuilt, bool& posted, Log& log)
        : id_(id), behaviour_(behaviour), rebuilt_(rebuilt), posted_(posted), log_(log) {}
    ~RecordingScene() override { note("dtor"); }

    bool initialize() override {
        note("init");
        return behaviour_.initializeOk && !(rebuilt_ && behaviour_.refuseRebuild);
    }
    bool update() override {
        note("update");
        if (log_.size() > kRunaway) {
            return false;  // a request loop in the controller: stop instead of hanging
        }
        if (behaviour_.postOnFirstUpdate && !posted_) {
            posted_ = true;
            getSceneController()->requestId = behaviour_.postOnFirstUpdate->first;
            getSceneController()->requestKind = behaviour_.postOnFirstUpdate->second;
        }
        return behaviour_.updateOk;
    }
    bool draw() override {
        note("draw");
        return true;
    }
    bool finalize() override {
        note("final");
        return behaviour_.finalizeOk;
    }
    bool onComeBack(int32_t returningSceneId) override {
        note("back" + std::to_string(returningSceneId));
        return behaviour_.comeBackOk;
    }

private:
    void note(const std::string& what) { log_.push_back(std::to_string(id_) + ":" + what); }

    int32_t id_;
    Behaviour behaviour_;
    bool rebuilt_;
    bool& posted_;
    Log& log_;
};

class RecordingFactory : public IOrvexSceneFactory {
public:
    RecordingFactory(std::map<int32_t, Behaviour> behaviours, Log& log)
        : behaviours_(std::move(behaviours)), log_(log) {}
    std::shared_ptr<OxSceneBase> create(int32_t id) override {
        const auto found = behaviours_.find(id);
        if (found == behaviours_.end()) {
            log_.push_back(std::to_string(id) + ":unknown");
            return nullptr;
        }
        const bool rebuilt = made_[id]++ > 0;
        return std::make_shared<RecordingScene>(id, found->second, rebuilt, posted_[id], log_);
    }

private:
    std::map<int32_t, Behaviour> behaviours_;
    std::map<int32_t, bool> posted_;
    std::map<int32_t, int> made_;
    Log& log_;
};

class RecordingListener : public IOrvexSceneEventListener {
public:
    RecordingListener(const char* name, Log& log) : name_(name), log_(log) {}
    void onScenePushed(OxSceneBase* scene) override {
        // The scene is on the stack, owned by this controller, when the listeners hear of it.
        log_.push_back(std::string(name_) + ":pushed" +
                       std::to_string(scene->getSceneController()->getCurrentSceneId()));
    }

private:
    const char* name_;
    Log& log_;
};

struct Frame {
    std::optional<std::pair<int32_t, uint32_t>> post;  // posted by the owner before update
    bool expectedResult;
};

struct SequenceCase {
    const char* name;
    std::map<int32_t, Behaviour> behaviours;
    std::vector<Frame> frames;
    Log expectedLog;
    int32_t expectedTop;
};

constexpr auto change = [](int32_t id) { return std::pair<int32_t, uint32_t>{id, kRequestChange}; };
constexpr auto push = [](int32_t id) { return std::pair<int32_t, uint32_t>{id, kRequestPush}; };
constexpr auto call = [](int32_t id) { return std::pair<int32_t, uint32_t>{id, kRequestCall}; };
constexpr auto ret = [] { return std::pair<int32_t, uint32_t>{-1, kRequestReturn}; };
constexpr auto quit = [] { return std::pair<int32_t, uint32_t>{-1, kRequestQuit}; };

// A scene whose given step refuses.
Behaviour refusing(bool Behaviour::*step) {
    Behaviour b;
    b.*step = false;
    return b;
}

Behaviour posting(std::pair<int32_t, uint32_t> request) {
    Behaviour b;
    b.postOnFirstUpdate = request;
    return b;
}

TEST(OxSceneController, RequestSequencesFollowTheStackRules) {
    const SequenceCase cases[] = {
        {"call then return rebuilds the dropped caller",
         {{1, posting(call(2))}, {2, posting(ret())}},
         {{change(1), true}},
         {"1:init", "L:pushed1", "1:update", "1:final", "1:dtor", "2:init", "L:pushed2", "2:update", "2:final",
          "2:dtor", "1:init", "L:pushed1", "1:back2", "1:update"},
         1},
        {"push then return keeps the same object below",
         {{1, posting(push(2))}, {2, posting(ret())}},
         {{change(1), true}},
         {"1:init", "L:pushed1", "1:update", "2:init", "L:pushed2", "2:update", "2:final", "2:dtor", "1:back2",
          "1:update"},
         1},
        {"a change posted in update waits for the next frame",
         {{1, posting(change(2))}, {2, {}}},
         {{change(1), true}, {std::nullopt, true}},
         {"1:init", "L:pushed1", "1:update", "1:final", "1:dtor", "2:init", "L:pushed2", "2:update"},
         2},
        {"return with one scene finalises it and fails",
         {{1, posting(ret())}},
         {{change(1), false}},
         {"1:init", "L:pushed1", "1:update", "1:final", "1:dtor"},
         -1},
        {"quit finalises live scenes top down and skips dropped ones",
         {{1, posting(push(2))}, {2, posting(call(3))}, {3, posting(quit())}},
         {{change(1), false}},
         {"1:init", "L:pushed1", "1:update", "2:init", "L:pushed2", "2:update", "2:final", "2:dtor", "3:init",
          "L:pushed3", "3:update", "3:final", "3:dtor", "1:final", "1:dtor"},
         -1},
        {"an unknown id fails the change after the old scene left",
         {{1, {}}},
         {{change(1), true}, {change(9), false}},
         {"1:init", "L:pushed1", "1:update", "1:final", "1:dtor", "9:unknown"},
         -1},
        {"a failing initialize refuses the push and keeps the stack",
         {{1, {}}, {2, refusing(&Behaviour::initializeOk)}},
         {{change(1), true}, {push(2), false}, {std::nullopt, true}},
         {"1:init", "L:pushed1", "1:update", "2:init", "2:dtor", "1:update"},
         1},
        {"a refused finalize leaves the scene on top",
         {{1, refusing(&Behaviour::finalizeOk)}, {2, {}}},
         {{change(1), true}, {change(2), false}},
         {"1:init", "L:pushed1", "1:update", "1:final"},
         1},
        {"a refused come-back fails after the return",
         {{1, refusing(&Behaviour::comeBackOk)}, {2, {}}},
         {{change(1), true}, {push(2), true}, {ret(), false}},
         {"1:init", "L:pushed1", "1:update", "2:init", "L:pushed2", "2:update", "2:final", "2:dtor", "1:back2"},
         1},
        {"a refused update fails the step",
         {{1, refusing(&Behaviour::updateOk)}},
         {{change(1), false}},
         {"1:init", "L:pushed1", "1:update"},
         1},
        {"a call on an empty stack is a push", {{1, {}}}, {{call(1), true}}, {"1:init", "L:pushed1", "1:update"}, 1},
        {"target -1 fails without asking the factory", {{1, {}}}, {{change(-1), false}}, {}, -1},
        {"a call whose target fails leaves a dropped top that refuses to run",
         {{1, {}}},
         {{change(1), true}, {call(9), false}, {std::nullopt, false}},
         {"1:init", "L:pushed1", "1:update", "1:final", "1:dtor", "9:unknown"},
         1},
        {"a return onto a caller that can no longer be built fails",
         {{1,
           [] {
               Behaviour b = posting(call(2));
               b.refuseRebuild = true;
               return b;
           }()},
          {2, posting(ret())}},
         {{change(1), false}},
         {"1:init", "L:pushed1", "1:update", "1:final", "1:dtor", "2:init", "L:pushed2", "2:update", "2:final",
          "2:dtor", "1:init", "1:dtor"},
         -1},
        {"a later request of the same frame wins",
         {{1, {}}, {2, {}}},
         {{push(2), true}},
         {"2:init", "L:pushed2", "2:update"},
         2},
    };
    for (const auto& c : cases) {
        Log log;
        OxSceneController controller;
        controller.setFactory(std::make_shared<RecordingFactory>(c.behaviours, log));
        RecordingListener listener("L", log);
        controller.addListener(&listener);
        for (size_t i = 0; i < c.frames.size(); ++i) {
            if (c.frames[i].post) {
                controller.requestId = c.frames[i].post->first;
                controller.requestKind = c.frames[i].post->second;
            }
            EXPECT_EQ(controller.update(), c.frames[i].expectedResult) << c.name << ", frame " << i;
        }
        EXPECT_EQ(log, c.expectedLog) << c.name;
        EXPECT_EQ(controller.getCurrentSceneId(), c.expectedTop) << c.name;
        EXPECT_EQ(controller.isEmpty(), c.expectedTop == -1) << c.name;
    }
}

TEST(OxSceneController, ListenersHearEveryPushInRegistrationOrder) {
    Log log;
    OxSceneController controller(std::make_shared<RecordingFactory>(std::map<int32_t, Behaviour>{{4, {}}}, log), 4);
    EXPECT_EQ(controller.requestId, 4);
    EXPECT_EQ(controller.requestKind, kRequestNone);
    RecordingListener first("A", log);
    RecordingListener second("B", log);
    controller.addListener(&first);
    controller.addListener(&second);
    controller.requestKind = kRequestPush;
    ASSERT_TRUE(controller.update());
    EXPECT_EQ(log, (Log{"4:init", "A:pushed4", "B:pushed4", "4:update"}));
}

TEST(OxSceneController, DrawReachesOnlyTheTopScene) {
    Log log;
    OxSceneController controller;
    EXPECT_TRUE(controller.draw());  // nothing to draw
    controller.setFactory(std::make_shared<RecordingFactory>(std::map<int32_t, Behaviour>{{1, {}}, {2, {}}}, log));
    controller.changeScene(1);
    ASSERT_TRUE(controller.update());
    controller.requestId = 2;
    controller.requestKind = kRequestPush;
    ASSERT_TRUE(controller.update());
    log.clear();
    EXPECT_TRUE(controller.draw());
    EXPECT_EQ(log, (Log{"2:draw"}));
}

TEST(OxSceneController, ClearDestroysScenesWithoutFinalizeAndResetsTheRequest) {
    Log log;
    auto factory = std::make_shared<RecordingFactory>(std::map<int32_t, Behaviour>{{1, {}}, {2, {}}}, log);
    OxSceneController controller;
    controller.setFactory(factory);
    controller.changeScene(1);
    ASSERT_TRUE(controller.update());
    controller.requestId = 2;
    controller.requestKind = kRequestPush;
    ASSERT_TRUE(controller.update());
    controller.changeScene(1);  // pending, never carried out
    log.clear();

    controller.clear();
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(std::count(log.begin(), log.end(), "1:dtor"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "2:dtor"), 1);
    EXPECT_TRUE(controller.isEmpty());
    EXPECT_EQ(controller.getCurrentSceneId(), -1);
    EXPECT_EQ(controller.requestId, -1);
    EXPECT_EQ(controller.requestKind, kRequestNone);
    EXPECT_EQ(controller.getFactory(), nullptr);
    EXPECT_EQ(factory.use_count(), 1);

    // With the factory released, a later request is refused instead of failing on it.
    controller.changeScene(1);
    EXPECT_FALSE(controller.update());
}

}  // namespace
