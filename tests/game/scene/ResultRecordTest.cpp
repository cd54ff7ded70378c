#include "game/scene/ResultRecord.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

using namespace Fenwarrow::Scene;
using Fenwarrow::CResultInfo;

CResultInfo diveRecord(int32_t floor) {
    CResultInfo record{};
    CResultInfo::setText(record.playerName, u"アルト");
    CResultInfo::setText(record.text3, u"試練の洞窟");
    record.value = floor;
    return record;
}

// The text of line n (0 or 1) after its position tag.
std::u16string line(const std::u16string& body, int n) {
    const std::size_t split = body.find(u'\n');
    const std::u16string text = n == 0 ? body.substr(0, split) : body.substr(split + 1);
    return text.substr(text.find(u'>') + 1);
}

TEST(ResultRecordTest, StripMarkupTagsRemovesEveryTagAndNothingElse) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"<0:COLOR>スライム</COLOR>", u"スライム"},
        {u"<#255:POSX>今回の挑戦結果", u"今回の挑戦結果"},
        {u"<1:COLOR></COLOR>", u""},
        {u"a < b > c", u"a  c"},
        {u"3 <> 4", u"3 <> 4"},
        {u"", u""},
    };
    for (const auto& [text, stripped] : cases) {
        EXPECT_EQ(stripMarkupTags(text), stripped);
    }
}

TEST(ResultRecordTest, ScoreWrapsAsThirtyTwoBitsButCountsAsSigned) {
    struct Case {
        bool r30, r99, tt23;
        int32_t floor, money;
        uint32_t items;
        int32_t score;
    };
    const Case cases[] = {
        {true, false, false, 3, 100, 50, 10000 + 10000 + 100 + 50},
        {false, true, true, 1, 0, 0, 2000000},
        {false, false, false, 1, 0, 0, 0},
        {false, false, false, 0, 0, 0, -5000},  // the floor-0 dive: below every real score
        {false, false, false, 0, 1200, 30, -3770},
    };
    for (const Case& entry : cases) {
        const int32_t score =
            computeResultScore(entry.r30, entry.r99, entry.tt23, entry.floor, entry.money, entry.items);
        EXPECT_EQ(score, entry.score);
    }
    // The stored bytes are those of the unsigned sum.
    CResultInfo record{};
    record.score = computeResultScore(false, false, false, 0, 0, 0);
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const uint8_t*>(&record) + 4, 4);
    EXPECT_EQ(bytes, 0xFFFFFFFFu - 5000u + 1u);
    EXPECT_NE(statusBodyText(record).find(u"スコア<#460.0:POSX><1:COLOR>-5000</COLOR>"), std::u16string::npos);
}

TEST(ResultRecordTest, FirstApplicableEndingWritesTheTwoLines) {
    const std::u16string head = u"<0:COLOR>アルト</COLOR>は<3:COLOR>試練の洞窟</COLOR><1:COLOR>4</COLOR>F";
    struct Case {
        std::size_t flag;  // set in the record, or none
        const char16_t* source;
        const char16_t* damage;
        std::u16string first;
        std::u16string second;
    };
    constexpr std::size_t kNone = 99;
    const Case cases[] = {
        {kRecordGaveUp, u"", u"", head + u"にて、", u"挑戦を断念した！"},
        {kRecordReturned, u"", u"", head + u"より、", u"帰還した！"},
        {kRecordMeltdown, u"ゴブリン", u"", head + u"にて、", u"核の炎に包まれた。"},
        {kNone, u"ゴブリン", u"", head + u"にて、", u"<0:COLOR>ゴブリン</COLOR>の攻撃で倒れた。"},
        {kNone, u"<0:COLOR>ゴブリン</COLOR>", u"体当たり", head + u"にて、",
         u"<0:COLOR><0:COLOR>ゴブリン</COLOR></COLOR>の体当たりで倒れた。"},
        {kNone, u"", u"", head + u"にて、", u"腹ぺこで倒れた。"},
        {kNone, u"<1:COLOR></COLOR>", u"毒", head + u"にて、", u"毒の効果で倒れた。"},  // only mark-up: no source
        {kRecordR30Cleared, u"ゴブリン", u"", u"<0:COLOR>アルト</COLOR>は<3:COLOR>試練の洞窟</COLOR>を",
         u"無事にクリアした！"},
    };
    for (const Case& entry : cases) {
        CResultInfo record = diveRecord(4);
        if (entry.flag != kNone) {
            record.flags[entry.flag] = 1;
        }
        CResultInfo::setText(record.text1, entry.source);
        CResultInfo::setText(record.text2, entry.damage);
        const std::u16string body = resultBodyText(record);
        EXPECT_EQ(line(body, 0), entry.first);
        EXPECT_EQ(line(body, 1), entry.second);
    }
    // A gave-up dive that also cleared reads as given up; TT23 alone is a clear.
    CResultInfo record = diveRecord(4);
    record.cleared = 1;
    EXPECT_EQ(line(resultBodyText(record), 1), u"無事にクリアした！");
}

TEST(ResultRecordTest, LinesAreCentredByTheirVisibleLengthAndFloorZeroHasNoNumber) {
    CResultInfo record = diveRecord(0);
    record.flags[kRecordReturned] = 1;
    const std::u16string first = u"<0:COLOR>アルト</COLOR>は<3:COLOR>試練の洞窟</COLOR>より、";
    // 12 visible characters, then 5.
    EXPECT_EQ(resultBodyText(record), u"<#205:POSX>" + first + u"\n<#310:POSX>帰還した！");
}

TEST(ResultRecordTest, StatusShowsThePlayTimeOnlyWhenAboveZero) {
    CResultInfo record{};
    record.status.level = 7;
    record.status.exp = 1234;
    record.status.life = 45.9f;
    record.status.force = 80;
    record.status.maxForce = 100;
    record.money = 500;
    record.score = 60000;
    CResultInfo::setText(record.weaponText, u"どうのつるぎ+1");
    const std::u16string without = statusBodyText(record);
    EXPECT_EQ(without.find(u"経過時間"), std::u16string::npos);
    EXPECT_NE(without.find(u"ＨＰ<#180.0:POSX><1:COLOR>45</COLOR>"), std::u16string::npos);
    EXPECT_NE(without.find(u"<1:COLOR>80/100</COLOR>"), std::u16string::npos);
    EXPECT_NE(without.find(u"\n武器<#180.0:POSX>どうのつるぎ+1\n防具<#180.0:POSX>\n"), std::u16string::npos);
    record.playTime = 3725.7f;
    EXPECT_NE(statusBodyText(record).find(u"\n経過時間<#180.0:POSX>01:02:05\n武器"), std::u16string::npos);
}

TEST(ResultRecordTest, ResetZeroesTheFieldsButLeavesTheUnsetTails) {
    CResultInfo record;
    std::memset(static_cast<void*>(&record), 0xAA, sizeof record);
    resetResultRecord(record);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    auto allAre = [&](std::size_t from, std::size_t to, uint8_t value) {
        for (std::size_t at = from; at < to; ++at) {
            if (bytes[at] != value) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(allAre(0, 12 + 128, 0));       // three words, name head
    EXPECT_TRUE(allAre(12 + 128, 268, 0xAA));  // name tail
    EXPECT_TRUE(allAre(268, 332 + 128, 0));    // status, first text head
    EXPECT_TRUE(allAre(1612, 1617, 0));        // flags
    EXPECT_TRUE(allAre(1617, 1620, 0xAA));     // alignment
    EXPECT_TRUE(allAre(1620, 1624 + 128, 0));  // floor number, floor name head
    EXPECT_TRUE(allAre(1880, 1889 + 128, 0));  // time, counter, TT23, reserved
    EXPECT_TRUE(allAre(2017, 2404, 0xAA));     // never set
}

}  // namespace
