#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "game/services/CSEManager.h"

namespace {

using Orvex::AudioSystem::IOrvexAudioSource;
using Orvex::AudioSystem::kAudioStatePaused;
using Orvex::AudioSystem::kAudioStatePlaying;
using Orvex::AudioSystem::kAudioStateStopped;

// A source whose state the test sets.
class StateSource : public IOrvexAudioSource {
public:
    explicit StateSource(uint32_t state) : state(state) {}
    bool isNull() override { return false; }
    uint32_t getSourceType() override { return 0; }
    uint32_t getState() override { return state; }
    bool play() override { return true; }
    bool playNew() override { return true; }
    bool stop() override { return true; }
    void pause() override {}
    void resume() override {}
    bool setLoopCount(uint32_t) override { return true; }
    uint32_t getLoopCount() override { return 0; }

    uint32_t state;
};

TEST(CSEManagerTest, PurgeDropsOnlyStoppedSourcesAndReleasesThem) {
    Fenwarrow::CSEManager manager;
    auto playing = std::make_shared<StateSource>(kAudioStatePlaying);
    auto paused = std::make_shared<StateSource>(kAudioStatePaused);
    std::weak_ptr<StateSource> stopped;
    {
        auto source = std::make_shared<StateSource>(kAudioStateStopped);
        stopped = source;
        manager.addSource(source);
    }
    std::weak_ptr<StateSource> pausedWatch = paused;
    manager.addSource(playing);
    manager.addSource(paused);
    manager.addSource(nullptr);  // ignored; purge must not trip over it
    paused.reset();

    ASSERT_FALSE(stopped.expired());
    manager.purge();
    EXPECT_TRUE(stopped.expired());
    EXPECT_FALSE(pausedWatch.expired()) << "a paused source survives the purge";
    EXPECT_EQ(playing.use_count(), 2);

    // Once the paused one stops it goes at the next purge.
    if (auto source = pausedWatch.lock()) {
        source->state = kAudioStateStopped;
    }
    playing->state = kAudioStateStopped;
    manager.purge();
    EXPECT_TRUE(pausedWatch.expired());
    EXPECT_EQ(playing.use_count(), 1);
}

// Script modules hand their sources over from whichever thread closes them.
TEST(CSEManagerTest, SourcesAddedFromAnotherThreadWhilePurgingAreKeptSafely) {
    Fenwarrow::CSEManager manager;
    constexpr int kCount = 2000;
    std::vector<std::shared_ptr<StateSource>> held;
    for (int i = 0; i < kCount; ++i) {
        held.push_back(std::make_shared<StateSource>(i % 2 == 0 ? kAudioStatePlaying : kAudioStateStopped));
    }
    std::thread adder([&] {
        for (const auto& source : held) {
            manager.addSource(source);
        }
    });
    for (int i = 0; i < kCount / 10; ++i) {
        manager.purge();
    }
    adder.join();
    manager.purge();
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(held[static_cast<size_t>(i)].use_count(), i % 2 == 0 ? 2 : 1) << i;
    }
}

}  // namespace
