#include "game/replay/CReplayInfo.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "engine/serialization/OxSerializer.h"
#include "game/replay/CReplayDevice.h"
#include "game/replay/CReplayVirtualKey.h"
#include "game/save/CSaveDataController.h"
#include "tests/engine/io/TempFolder.h"
#include "tests/game/replay/ReplayTestSupport.h"

namespace {

using namespace Fenwarrow::Replay;
using Orvex::Serialization::OxSerializer;

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

std::u16string textAt(const std::vector<uint8_t>& b, std::size_t at, std::size_t units) {
    std::u16string text;
    for (std::size_t i = 0; i < units && (b[at + 2 * i] | b[at + 2 * i + 1]); ++i) {
        text += static_cast<char16_t>(b[at + 2 * i] | b[at + 2 * i + 1] << 8);
    }
    return text;
}

CReplayFrame sampleFrame(uint32_t salt) {
    CReplayFrame frame;
    for (uint32_t k = 0; k < kReplayKeyCount; ++k) {
        frame.keys[k] = {0x01020300u + k + salt, k % 2 == 0, k % 3 == 0, k % 5 == 0, k % 7 == 0};
    }
    frame.playTime = 12.5f + static_cast<float>(salt);
    return frame;
}

TEST(ReplayInfoTest, BodyIsLaidOutByteForByte) {
    ReplayTestGame game;
    CReplayInfo info(game.random, u"Hero");
    info.setDungeonScript(u"Dungeon/DEMO10/00/00/001.lua");
    info.getFrames() = {sampleFrame(0), sampleFrame(9)};
    info.getResult().valid = 1;
    info.getResult().trailingText[514] = 0xAB;

    OxSerializer body;
    ASSERT_TRUE(info.serialize(body));
    const std::vector<uint8_t>& b = body.getBuffer();
    ASSERT_EQ(b.size(), 2928u + 2 * 100);
    EXPECT_EQ(le32(b, 0), info.getSeed());
    EXPECT_EQ(textAt(b, 4, 64), u"1.00");
    EXPECT_EQ(textAt(b, 132, 128), u"Dungeon/DEMO10/00/00/001.lua");
    EXPECT_EQ(textAt(b, 388, 64), u"Hero");
    EXPECT_EQ(le32(b, 516), info.getTimeStamp());
    EXPECT_EQ(le32(b, 520), 2u);
    for (uint32_t k = 0; k < kReplayKeyCount; ++k) {
        const std::size_t at = 524 + 100 + 8 * k;  // the second frame
        const CReplayKeyState& key = info.getFrames()[1].keys[k];
        EXPECT_EQ(le32(b, at), key.holdCount);
        EXPECT_EQ(b[at + 4], key.down);
        EXPECT_EQ(b[at + 5], key.pushed);
        EXPECT_EQ(b[at + 6], key.released);
        EXPECT_EQ(b[at + 7], key.repeat);
    }
    float time = 0;
    const uint32_t bits = le32(b, 524 + 100 + 96);
    std::memcpy(&time, &bits, 4);
    EXPECT_EQ(time, 21.5f);
    EXPECT_EQ(b[724], 1);
    EXPECT_EQ(b.back(), 0xAB);

    CReplayInfo back;
    body.setWriting(false);
    ASSERT_TRUE(back.deserialize(body));
    EXPECT_EQ(back.getFrames(), info.getFrames());
    EXPECT_EQ(std::memcmp(&back.getResult(), &info.getResult(), sizeof(Fenwarrow::CResultInfo)), 0);
    EXPECT_EQ(back.getPlayerName(), u"Hero");
    EXPECT_EQ(back.getTimeStamp(), info.getTimeStamp());
}

TEST(ReplayInfoTest, NewReplaySeedsTheGameAndCutsLongTexts) {
    ReplayTestGame game;
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    const std::u16string longName(80, u'名');
    CReplayInfo info(game.random, longName);
    EXPECT_EQ(game.random.getSeed(), info.getSeed());
    EXPECT_EQ(info.getVersion(), u"1.00");
    EXPECT_EQ(info.getPlayerName(), longName.substr(0, 63));
    EXPECT_GE(info.getTimeStamp(), before);
    EXPECT_LE(info.getTimeStamp(), before + 60);
    EXPECT_TRUE(info.getFrames().empty());
    EXPECT_TRUE(info.getDungeonScript().empty());

    info.setDungeonScript(std::u16string(200, u'x'));
    EXPECT_EQ(info.getDungeonScript(), std::u16string(127, u'x'));
    info.setDungeonScript(u"short");  // the old text must not show through
    OxSerializer body;
    info.serialize(body);
    EXPECT_EQ(textAt(body.getBuffer(), 132, 128), u"short");
    for (std::size_t i = 132 + 10; i < 388; ++i) ASSERT_EQ(body.getBuffer()[i], 0) << i;
}

class ReplayFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    ReplayTestGame game;
};

TEST_F(ReplayFileTest, FilesRoundTripAndDamagedOnesAreRefused) {
    CReplayInfo empty(game.random, u"Hero");
    ASSERT_TRUE(saveReplayFile(empty, u"empty.lrd"));
    Fenwarrow::CSaveDataController container;
    OxSerializer body;
    ASSERT_TRUE(container.readContainer(body, u"empty.lrd"));
    EXPECT_EQ(body.getBuffer().size(), 2928u);

    CReplayInfo info(game.random, u"Hero");
    info.getFrames() = {sampleFrame(1), sampleFrame(2), sampleFrame(3)};
    ASSERT_TRUE(saveReplayFile(info, u"run.lrd"));
    CReplayInfo back;
    ASSERT_TRUE(loadReplayFile(back, u"run.lrd"));
    EXPECT_EQ(back.getFrames(), info.getFrames());
    EXPECT_EQ(back.getSeed(), info.getSeed());

    // Valid containers whose replay bodies are damaged.
    OxSerializer full;
    info.serialize(full);
    struct Case {
        const char* name;
        std::vector<uint8_t> body;
    } cases[] = {
        {"cut in the frames", std::vector<uint8_t>(full.getBuffer().begin(), full.getBuffer().begin() + 700)},
        {"cut in the result", std::vector<uint8_t>(full.getBuffer().begin(), full.getBuffer().end() - 1)},
        {"huge frame count",
         [&] {
             auto bytes = full.getBuffer();
             bytes[520] = bytes[521] = bytes[522] = bytes[523] = 0xFF;
             return bytes;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OxSerializer damaged;
        damaged.writeBlock(c.body.data(), c.body.size());
        container.prepareHeader();
        ASSERT_TRUE(container.writeContainer(damaged, u"bad.lrd"));
        CReplayInfo target = back;
        EXPECT_FALSE(loadReplayFile(target, u"bad.lrd"));
        EXPECT_EQ(target.getFrames(), info.getFrames());  // untouched
    }
    // Text fields filled to their ends read as texts that end inside them.
    auto unterminated = full.getBuffer();
    std::fill(unterminated.begin() + 4, unterminated.begin() + 516, 0x41);
    OxSerializer filled;
    filled.writeBlock(unterminated.data(), unterminated.size());
    container.prepareHeader();
    ASSERT_TRUE(container.writeContainer(filled, u"full.lrd"));
    ASSERT_TRUE(loadReplayFile(back, u"full.lrd"));
    EXPECT_EQ(back.getVersion(), std::u16string(63, u'\u4141'));
    EXPECT_EQ(back.getDungeonScript(), std::u16string(127, u'\u4141'));
    EXPECT_EQ(back.getPlayerName(), std::u16string(63, u'\u4141'));

    folder.writeFile("plain.lrd", std::vector<uint8_t>(3000, 0x20));
    EXPECT_FALSE(loadReplayFile(back, u"plain.lrd"));
    EXPECT_FALSE(loadReplayFile(back, u"missing.lrd"));
}

TEST(ReplayVirtualKeyTest, SnapshotAnswersAsTheLiveKeysDidThen) {
    ReplayTestGame game;
    // Key 3 held from frame 0: after 26 updates its hold count is 25. Key 5 goes down on the
    // last frame, key 7 comes up on it.
    for (uint32_t f = 0; f < 26; ++f) {
        game.advance([](uint32_t frame, uint32_t key) {
            return key == 3 || (key == 5 && frame == 25) || (key == 7 && frame < 25);
        });
    }
    CReplayVirtualKey snapshot(game.live);
    ASSERT_EQ(snapshot.getKeyRecords().size(), kReplayKeyCount);
    EXPECT_EQ(snapshot.getHoldCount(3), 25u);
    for (uint32_t k = 0; k < kReplayKeyCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(snapshot.isRepeat(k), game.live.isRepeat(k));
        EXPECT_EQ(snapshot.isDown(k), game.live.isDown(k));
        EXPECT_EQ(snapshot.isPushed(k), game.live.isPushed(k));
        EXPECT_EQ(snapshot.isReleased(k), game.live.isReleased(k));
        EXPECT_EQ(snapshot.getHoldCount(k), game.live.getHoldCount(k));
    }
    EXPECT_TRUE(snapshot.isPushed(5));
    EXPECT_TRUE(snapshot.isReleased(7));
    // Its own update has nothing to sample and changes no answer.
    snapshot.update();
    snapshot.update();
    EXPECT_TRUE(snapshot.isPushed(5));
    EXPECT_EQ(snapshot.getHoldCount(3), 25u);

    CReplayFrame frame = sampleFrame(0);
    frame.keys[3].repeat = true;  // recorded, not recomputed from the hold count
    frame.keys[3].holdCount = 2;
    snapshot.loadFrame(frame);
    EXPECT_TRUE(snapshot.isRepeat(3));
    EXPECT_EQ(snapshot.getHoldCount(3), 2u);
    // Key numbers come from settings files and scripts: outside the records a key is up.
    frame = sampleFrame(0);
    for (CReplayKeyState& key : frame.keys) key = {7, true, true, true, true};
    snapshot.loadFrame(frame);
    for (const uint32_t key : {uint32_t{kReplayKeyCount}, 128u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(snapshot.isDown(key));
        EXPECT_FALSE(snapshot.isPushed(key));
        EXPECT_FALSE(snapshot.isReleased(key));
        EXPECT_FALSE(snapshot.isRepeat(key));
        EXPECT_EQ(snapshot.getHoldCount(key), 0u);
    }

    CReplayVirtualKey blank;
    EXPECT_TRUE(blank.getKeyRecords().empty());
    EXPECT_FALSE(blank.isDown(0));
    EXPECT_EQ(blank.getHoldCount(0), 0u);
}

}  // namespace
