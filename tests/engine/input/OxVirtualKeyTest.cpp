#include "engine/input/OxVirtualKey.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace Orvex::InputSystem {
namespace {

// A device whose buttons the test holds down by hand; counts how often it is asked.
class HandDevice : public IOrvexKeyBase {
public:
    void clearAllKeys() override { down.clear(); }
    void clearKey(uint32_t button) override { down.erase(button); }
    bool isDown(uint32_t button) override {
        ++asked;
        return down.contains(button);
    }
    bool isPushed(uint32_t) override { return false; }
    bool isReleased(uint32_t) override { return false; }
    uint32_t getKeyCount() override { return 256; }

    std::set<uint32_t> down;
    int asked = 0;
};

class OxVirtualKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(keys.addDevice(&device));
        ASSERT_TRUE(keys.bind(0, 0, 7));
    }
    OxVirtualKey keys;
    HandDevice device;
};

TEST_F(OxVirtualKeyTest, HeldKeyPushesOnceRepeatsOnScheduleAndReleasesOnce) {
    std::vector<int> pushed;
    std::vector<int> repeats;
    std::vector<int> released;
    constexpr int kReleaseFrame = 40;
    for (int frame = 1; frame <= kReleaseFrame + 2; ++frame) {
        if (frame == 1) {
            device.down.insert(7);
        }
        if (frame == kReleaseFrame) {
            device.down.erase(7);
        }
        keys.update();
        if (keys.isPushed(0)) pushed.push_back(frame);
        if (keys.isRepeat(0)) repeats.push_back(frame);
        if (keys.isReleased(0)) released.push_back(frame);
    }
    EXPECT_EQ(pushed, std::vector<int>{1});
    EXPECT_EQ(repeats, (std::vector<int>{2, 25, 31, 37}));
    EXPECT_EQ(released, std::vector<int>{kReleaseFrame});
    EXPECT_EQ(keys.getHoldCount(0), 0u);
}

TEST_F(OxVirtualKeyTest, RepeatRuleAcrossDelaysAndIntervals) {
    struct Case {
        uint32_t delay, interval, hold;
        bool repeat;
    };
    const Case cases[] = {
        {20, 6, 0, false}, {20, 6, 1, true},   {20, 6, 18, false}, {20, 6, 20, false}, {20, 6, 24, true},
        {0, 4, 1, true},   {0, 4, 2, false},   {0, 4, 4, true},    {0, 4, 8, true},    {100, 6, 1, true},
        {20, 0, 1, true},  {20, 0, 24, false}, {20, 0, 20, false}, {20, 1, 21, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "delay " << c.delay << " interval " << c.interval << " hold " << c.hold);
        keys.setRepeatDelay(c.delay);
        keys.setRepeatInterval(c.interval);
        keys.setHoldCount(0, c.hold);
        EXPECT_EQ(keys.isRepeat(0), c.repeat);
    }
}

TEST_F(OxVirtualKeyTest, EitherDeviceHoldsTheKeyAndTheSecondIsNotAskedWhenTheFirstAnswers) {
    HandDevice second;
    ASSERT_TRUE(keys.addDevice(&second));
    ASSERT_TRUE(keys.bind(0, 1, 3));
    second.down.insert(3);
    keys.update();
    EXPECT_TRUE(keys.isDown(0));

    device.down.insert(7);
    second.asked = 0;
    keys.update();
    EXPECT_TRUE(keys.isDown(0));
    EXPECT_EQ(second.asked, 0);
}

TEST_F(OxVirtualKeyTest, UnboundKeyKeepsWhatItsBufferHeld) {
    ASSERT_FALSE(keys.bind(3, 9, 0));  // grows the table to 4 keys, binds nothing
    keys.setDown(3, true);             // this frame's buffer
    keys.update();                     // the other buffer: never written
    EXPECT_FALSE(keys.isDown(3));
    EXPECT_TRUE(keys.isReleased(3));
    keys.update();  // back to the buffer written two frames ago
    EXPECT_TRUE(keys.isDown(3));
    EXPECT_TRUE(keys.isPushed(3));
}

TEST_F(OxVirtualKeyTest, FailingBindStillGrowsTheTable) {
    OxVirtualKey empty;
    EXPECT_FALSE(empty.bind(10, 0, 5));
    EXPECT_EQ(empty.getKeyCount(), 11u);
    EXPECT_FALSE(empty.addDevice(nullptr));
}

TEST_F(OxVirtualKeyTest, ClearKeyClearsBothFramesSoNothingReadsReleased) {
    device.down.insert(7);
    keys.update();
    keys.update();
    ASSERT_EQ(keys.getHoldCount(0), 1u);
    keys.clearKey(0);
    EXPECT_FALSE(keys.isDown(0));
    EXPECT_FALSE(keys.isReleased(0));
    EXPECT_EQ(keys.getHoldCount(0), 0u);
    keys.update();  // still held: a fresh press
    EXPECT_TRUE(keys.isPushed(0));
}

TEST_F(OxVirtualKeyTest, KeysAndDevicesOutsideTheTableReadUp) {
    device.down.insert(7);
    keys.update();
    for (const uint32_t key : {1u, 1000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(keys.isDown(key));
        EXPECT_FALSE(keys.isPushed(key));
        EXPECT_FALSE(keys.isReleased(key));
        EXPECT_FALSE(keys.isRepeat(key));
        EXPECT_EQ(keys.getHoldCount(key), 0u);
        keys.setDown(key, true);
        keys.setHoldCount(key, 5);
        keys.clearKey(key);
    }
    EXPECT_EQ(keys.getKeyCount(), 1u);
    EXPECT_EQ(keys.getDevice(1), nullptr);

    // The caller removed the device but kept the binding: it reads up instead of reaching past.
    keys.removeDevice(&device);
    keys.update();
    keys.update();
    EXPECT_FALSE(keys.isDown(0));
}

TEST_F(OxVirtualKeyTest, ClearBindingsEmptiesTheTableButKeepsTiming) {
    keys.setRepeatDelay(9);
    keys.setRepeatInterval(3);
    keys.clearBindings();
    EXPECT_EQ(keys.getKeyCount(), 0u);
    EXPECT_EQ(keys.getDeviceCount(), 0u);
    EXPECT_EQ(keys.getRepeatDelay(), 9u);
    EXPECT_EQ(keys.getRepeatInterval(), 3u);
}

// A replayed table supplies its own hold counts; the repeat rule must follow them.
class FixedHoldKeys : public OxVirtualKey {
public:
    uint32_t getHoldCount(uint32_t) override { return 30; }
};

TEST(OxVirtualKeyDerivedTest, RepeatFollowsAnOverriddenHoldCount) {
    FixedHoldKeys keys;
    EXPECT_TRUE(keys.isRepeat(0));
    keys.setRepeatInterval(7);
    EXPECT_FALSE(keys.isRepeat(0));
}

}  // namespace
}  // namespace Orvex::InputSystem
