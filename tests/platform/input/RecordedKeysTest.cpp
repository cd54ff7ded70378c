#include "platform/input/RecordedKeys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using Platform::Input::RecordedKeys;

constexpr uint8_t kZ = 0x2C;
constexpr uint8_t kDown = 0xD0;
constexpr uint8_t kReturn = 0x1C;
constexpr uint8_t kPressed = 0x80;

struct Reads {
    uint8_t keys[256] = {};
    // Applies reads until the n-th (counting from 1 across calls).
    void upTo(RecordedKeys& recorded, int n) {
        for (; done < n; ++done) {
            recorded.applyNextRead(keys);
        }
    }
    int done = 0;
};

TEST(RecordedKeysTest, ChangesApplyAtTheirReadInTheOrderGiven) {
    RecordedKeys recorded("2:Down+, 4:Down-,4:z+,,5:Return+,5:Return-,6:Z-");
    ASSERT_FALSE(recorded.empty());
    Reads reads;
    reads.keys[kReturn] = kPressed;  // a key the list does not name keeps what the device read
    reads.upTo(recorded, 1);
    EXPECT_EQ(0, reads.keys[kDown]) << "nothing before its read";
    reads.upTo(recorded, 2);
    EXPECT_EQ(kPressed, reads.keys[kDown]);
    reads.upTo(recorded, 3);
    EXPECT_EQ(kPressed, reads.keys[kDown]) << "held until the read that lets it go";
    reads.upTo(recorded, 4);
    EXPECT_EQ(0, reads.keys[kDown]);
    EXPECT_EQ(kPressed, reads.keys[kZ]) << "key names in any case";
    reads.keys[kReturn] = 0;
    reads.upTo(recorded, 5);
    EXPECT_EQ(0, reads.keys[kReturn]) << "two changes of one read: the later one holds";
    reads.upTo(recorded, 6);
    EXPECT_EQ(0, reads.keys[kZ]);
}

TEST(RecordedKeysTest, EntriesItCannotReadAreNamedAndSkipped) {
    const char* const bad[] = {
        "Down+",                          // no read
        "0:Down+",                        // reads count from 1
        "x:Down+",                        // not a number
        "2x:Down+",                       // not only a number
        "-1:Down+",                       // negative
        "99999999999999999999999:Down+",  // beyond any count
        "1:NoSuchKey+",                   // no such key
        "1:Down",                         // no direction
        "1:+",                            // no key
        "1:Down*",                        // no direction either
        "1:Pad132+",                      // beyond the pad's inputs
        "1:Pad-1+",                       // no pad input
        "1:Pad+",                         // no pad input number
    };
    for (const char* entry : bad) {
        testing::internal::CaptureStderr();
        RecordedKeys recorded(std::string(entry) + ",1:Z+");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, said.find(std::string("\"") + entry + "\"")) << entry << ": " << said;
        EXPECT_NE(std::string::npos, said.find("ORVEX_INPUT_KEYS")) << entry;
        Reads reads;
        for (int read = 0; read < 3; ++read) {
            reads.upTo(recorded, read + 1);
            for (int code = 0; code < 256; ++code) {
                if (code != kZ) {
                    EXPECT_EQ(0, reads.keys[code]) << entry << " changed key " << code;
                }
            }
        }
        EXPECT_EQ(kPressed, reads.keys[kZ]) << entry << ": the good entry beside it still applies";
    }
}

// Pad inputs apply to the pad at their read, beside the keys, and never to the keyboard.
TEST(RecordedKeysTest, PadInputsPressButtonsAndPushTheStick) {
    RecordedKeys keysOnly("1:Z+");
    EXPECT_FALSE(keysOnly.hasPad());
    RecordedKeys recorded("1:Pad0+,1:Pad128+,2:Pad127+,2:Pad129+,2:Z+,3:Pad0-,3:Pad128-,4:Pad130+,4:Pad131+,5:Pad129-");
    ASSERT_TRUE(recorded.hasPad());
    Platform::Input::JoyState pad{};
    uint8_t keys[256] = {};
    struct Expected {
        int read;
        uint8_t button0, button127;
        int32_t x, y;
    };
    const Expected table[] = {
        {1, kPressed, 0, 0, -32768},             // button 0, stick up
        {2, kPressed, kPressed, 32767, -32768},  // right as well: up and right together
        {3, 0, kPressed, 32767, 0},              // released: back to the centre on that axis
        {4, 0, kPressed, -32768, 32767},         // down and left
        {5, 0, kPressed, -32768, 32767},         // letting go of right leaves left alone
    };
    for (const Expected& expected : table) {
        const auto changes = recorded.applyNextRead(keys, &pad);
        EXPECT_EQ(expected.button0, pad.buttons[0]) << "read " << expected.read;
        EXPECT_EQ(expected.button127, pad.buttons[127]) << "read " << expected.read;
        EXPECT_EQ(expected.x, pad.x) << "read " << expected.read;
        EXPECT_EQ(expected.y, pad.y) << "read " << expected.read;
        EXPECT_EQ(expected.read == 2 ? 1u : 0u, changes.size()) << "only key changes are handed back";
    }
    EXPECT_EQ(kPressed, keys[kZ]);
    for (int code = 0; code < 256; ++code) {
        if (code != kZ) {
            EXPECT_EQ(0, keys[code]) << "pad inputs changed key " << code;
        }
    }
    // Without a pad to take them, the pad's changes are passed over and the keys still apply.
    RecordedKeys noPad("1:Pad0+,1:Return+");
    uint8_t noPadKeys[256] = {};
    noPad.applyNextRead(noPadKeys);
    EXPECT_EQ(kPressed, noPadKeys[kReturn]);
}

TEST(RecordedKeysTest, TheEnvironmentGivesTheList) {
    ::unsetenv("ORVEX_INPUT_KEYS");
    EXPECT_TRUE(RecordedKeys::fromEnvironment().empty());
    ::setenv("ORVEX_INPUT_KEYS", "1:Return+", 1);
    RecordedKeys recorded = RecordedKeys::fromEnvironment();
    ::unsetenv("ORVEX_INPUT_KEYS");
    Reads reads;
    reads.upTo(recorded, 1);
    EXPECT_EQ(kPressed, reads.keys[kReturn]);
}

}  // namespace
