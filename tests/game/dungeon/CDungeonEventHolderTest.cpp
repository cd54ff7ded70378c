#include "game/dungeon/CDungeonEventHolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Fenwarrow::Dungeon;

// Hears only the events it overrides; the rest fall to the listener's empty hooks.
struct Recorder : CDungeonEventListener {
    Recorder(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    void onArrival() override { log.push_back(name + ":arrival"); }
    void onDead() override { log.push_back(name + ":dead"); }
    std::string name;
    std::vector<std::string>& log;
};

// Appends a second listener the first time it hears an arrival.
struct Recruiter : Recorder {
    using Recorder::Recorder;
    void onArrival() override {
        Recorder::onArrival();
        if (holder && recruit) {
            holder->addListener(recruit);
            recruit = nullptr;
        }
    }
    CDungeonEventHolder* holder = nullptr;
    CDungeonEventListener* recruit = nullptr;
};

TEST(CDungeonEventHolder, BroadcastsReachEveryListenerInTheOrderAdded) {
    std::vector<std::string> log;
    CDungeonEventHolder empty;
    empty.onArrival();  // nothing to reach

    Recorder first("first", log);
    Recorder second("second", log);
    CDungeonEventListener silent;
    CDungeonEventHolder holder;
    holder.addListener(&first);
    holder.addListener(&silent);
    holder.addListener(&second);

    holder.onArrival();
    holder.onDead();
    holder.onRoomIn();  // overridden by nobody
    holder.onRoomOut();
    holder.onDamage();
    holder.onChangeFloor();
    EXPECT_EQ(log, (std::vector<std::string>{"first:arrival", "second:arrival", "first:dead", "second:dead"}));
}

TEST(CDungeonEventHolder, AListenerAddedDuringABroadcastHearsItAndTheHolderOwnsNone) {
    std::vector<std::string> log;
    auto late = std::make_unique<Recorder>("late", log);
    Recruiter host("host", log);
    {
        CDungeonEventHolder holder;
        host.holder = &holder;
        host.recruit = late.get();
        holder.addListener(&host);
        holder.onArrival();
        EXPECT_EQ(log, (std::vector<std::string>{"host:arrival", "late:arrival"}));
        host.holder = nullptr;
    }
    // The holder is gone; its listeners live on.
    late->onDead();
    EXPECT_EQ(log.back(), "late:dead");
}

}  // namespace
