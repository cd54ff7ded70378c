#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/serialization/OxSerializer.h"
#include "game/services/CSettingDataManager.h"

namespace {

using Fenwarrow::CSettingDataManager;
using Fenwarrow::getSettingText;
using Fenwarrow::setSettingText;
using Orvex::Serialization::OxSerializer;

constexpr size_t kDungeonAt = 0;
constexpr size_t kADVAt = 258;
constexpr size_t kMovieAt = kADVAt + 260;
constexpr size_t kWorldMapAt = kMovieAt + 260;
constexpr size_t kResultAt = kWorldMapAt + 516;
constexpr size_t kSecondDungeonAt = kResultAt + 1684;
constexpr size_t kStreamSize = kSecondDungeonAt + 258;

void fill(CSettingDataManager& data) {
    data.getDungeonSetting().resume = true;
    setSettingText(data.getDungeonSetting().scriptPath, u"Dungeon/DEMO10/00/00/001.lua");
    setSettingText(data.getADVSetting().path, u"ADV/はじまり.lua");
    data.getADVSetting().nextScene = 6;
    setSettingText(data.getMovieSetting().path, u"Movie/op.ogv");
    data.getMovieSetting().nextScene = -3;
    auto& map = data.getWorldMapSetting();
    map.bootMode = 2;
    setSettingText(map.prevDungeonScriptPath, u"prev.lua");
    setSettingText(map.nextDungeonScriptPath, u"next.lua");
    auto& result = data.getResultSetting();
    setSettingText(result.damageSourceName, u"<0:COLOR>スライム</COLOR>");
    setSettingText(result.damageName, u"体当たり");
    result.lastFloorNumber = 12;
    setSettingText(result.lastFloorName, u"試練の洞窟");
    result.flags = {1, 0, 1, 0, 1, 1};
    result.nextScene = 0x01020304;
    result.rankingIndex = 7;
    result.reserved[0] = 0xAB;
    result.reserved[127] = 0xCD;
}

std::vector<uint8_t> save(CSettingDataManager& data) {
    OxSerializer writer;
    EXPECT_TRUE(data.serialize(writer));
    return writer.getBuffer();
}

bool load(CSettingDataManager& data, const std::vector<uint8_t>& bytes) {
    OxSerializer reader;
    reader.getBuffer() = bytes;
    reader.setWriting(false);
    return data.serialize(reader);
}

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

TEST(CSettingDataManagerTest, SavedFormIsTheFixedLittleEndianLayout) {
    CSettingDataManager data;
    fill(data);
    const std::vector<uint8_t> bytes = save(data);
    ASSERT_EQ(bytes.size(), kStreamSize);

    EXPECT_EQ(bytes[kDungeonAt], 1);
    EXPECT_EQ(bytes[kDungeonAt + 2], 'D');
    EXPECT_EQ(bytes[kDungeonAt + 3], 0);
    EXPECT_EQ(u32At(bytes, kADVAt + 256), 6u);
    EXPECT_EQ(bytes[kADVAt + 8], 0x6F);  // low byte of U+306F first
    EXPECT_EQ(bytes[kADVAt + 9], 0x30);
    EXPECT_EQ(u32At(bytes, kMovieAt + 256), 0xFFFFFFFDu);
    EXPECT_EQ(u32At(bytes, kWorldMapAt), 2u);
    EXPECT_EQ(bytes[kWorldMapAt + 260], 'n');
    EXPECT_EQ(u32At(bytes, kResultAt + 1024), 12u);
    EXPECT_EQ(bytes[kResultAt + 1540], 1);
    EXPECT_EQ(bytes[kResultAt + 1545], 1);
    EXPECT_EQ(u32At(bytes, kResultAt + 1548), 0x01020304u);
    EXPECT_EQ(u32At(bytes, kResultAt + 1552), 7u) << "the ranking record by its index";
    EXPECT_EQ(bytes[kResultAt + 1556], 0xAB);
    EXPECT_EQ(bytes[kResultAt + 1683], 0xCD);
    EXPECT_EQ(std::memcmp(&bytes[kDungeonAt], &bytes[kSecondDungeonAt], 258), 0);
}

TEST(CSettingDataManagerTest, RankingLinkIsAnIndexWithAnExplicitNoRecordAndAnOldZeroReadsAsNoRecord) {
    struct Case {
        uint32_t stored;
        uint32_t read;
    };
    const Case cases[] = {
        {7, 7},
        {14, 14},
        {0xFFFFFFFFu, Fenwarrow::kNoRankingRecord},
        {15, Fenwarrow::kNoRankingRecord},
        {0, Fenwarrow::kNoRankingRecord},  // what earlier versions wrote for no record
    };
    CSettingDataManager fresh;
    EXPECT_EQ(fresh.getResultSetting().rankingIndex, Fenwarrow::kNoRankingRecord);
    EXPECT_EQ(u32At(save(fresh), kResultAt + 1552), 0xFFFFFFFFu);
    for (const Case& entry : cases) {
        std::vector<uint8_t> bytes = save(fresh);
        for (int i = 0; i < 4; ++i) {
            bytes[kResultAt + 1552 + i] = static_cast<uint8_t>(entry.stored >> (8 * i));
        }
        CSettingDataManager loaded;
        ASSERT_TRUE(load(loaded, bytes));
        EXPECT_EQ(loaded.getResultSetting().rankingIndex, entry.read) << entry.stored;
    }
    fresh.getResultSetting().rankingIndex = 3;
    fresh.resetResultSetting();
    EXPECT_EQ(fresh.getResultSetting().rankingIndex, Fenwarrow::kNoRankingRecord);
}

TEST(CSettingDataManagerTest, LoadRestoresEveryRecord) {
    CSettingDataManager saved;
    fill(saved);
    CSettingDataManager loaded;
    ASSERT_TRUE(load(loaded, save(saved)));

    EXPECT_EQ(loaded.getDungeonSetting(), saved.getDungeonSetting());
    EXPECT_EQ(loaded.getADVSetting(), saved.getADVSetting());
    EXPECT_EQ(loaded.getMovieSetting(), saved.getMovieSetting());
    EXPECT_EQ(loaded.getWorldMapSetting(), saved.getWorldMapSetting());
    EXPECT_EQ(loaded.getResultSetting(), saved.getResultSetting());
}

TEST(CSettingDataManagerTest, TheSecondDungeonCopyIsTheOneKept) {
    CSettingDataManager first;
    fill(first);
    CSettingDataManager second;
    setSettingText(second.getDungeonSetting().scriptPath, u"Dungeon/other.lua");
    std::vector<uint8_t> bytes = save(first);
    const std::vector<uint8_t> other = save(second);
    std::memcpy(&bytes[kSecondDungeonAt], &other[kDungeonAt], 258);

    CSettingDataManager loaded;
    ASSERT_TRUE(load(loaded, bytes));
    EXPECT_EQ(loaded.getDungeonSetting(), second.getDungeonSetting());
    EXPECT_EQ(loaded.getADVSetting(), first.getADVSetting());
}

TEST(CSettingDataManagerTest, ShortStreamFailsAndLeavesEveryRecordAsItWas) {
    CSettingDataManager source;
    fill(source);
    std::vector<uint8_t> bytes = save(source);
    bytes.pop_back();

    CSettingDataManager loaded;
    setSettingText(loaded.getADVSetting().path, u"kept.lua");
    loaded.getResultSetting().lastFloorNumber = 7;
    EXPECT_FALSE(load(loaded, bytes));
    EXPECT_EQ(getSettingText(loaded.getADVSetting().path), u"kept.lua");
    EXPECT_EQ(loaded.getResultSetting().lastFloorNumber, 7);
    EXPECT_FALSE(loaded.getDungeonSetting().resume);
}

// A damaged or edited save must not leave text without its end.
TEST(CSettingDataManagerTest, SavedTextFillingItsFieldIsCutToKeepTheTerminator) {
    CSettingDataManager source;
    std::vector<uint8_t> bytes = save(source);
    for (size_t at : {kDungeonAt + 2, kSecondDungeonAt + 2, kADVAt, kResultAt + 512}) {
        const size_t units = at == kResultAt + 512 ? 256 : 128;
        for (size_t i = 0; i < units; ++i) {
            bytes[at + 2 * i] = 'A';
        }
    }
    CSettingDataManager loaded;
    ASSERT_TRUE(load(loaded, bytes));
    EXPECT_EQ(getSettingText(loaded.getDungeonSetting().scriptPath), std::u16string(127, u'A'));
    EXPECT_EQ(getSettingText(loaded.getADVSetting().path), std::u16string(127, u'A'));
    EXPECT_EQ(getSettingText(loaded.getResultSetting().damageName), std::u16string(255, u'A'));
}

TEST(CSettingDataManagerTest, ResetsZeroTheirOwnRecordsOnly) {
    CSettingDataManager data;
    fill(data);
    const auto result = data.getResultSetting();
    data.resetSceneSettings();
    EXPECT_EQ(data.getDungeonSetting(), Fenwarrow::CDungeonSetting{});
    EXPECT_EQ(data.getADVSetting(), Fenwarrow::CPathSetting{});
    EXPECT_EQ(data.getMovieSetting(), Fenwarrow::CPathSetting{});
    EXPECT_EQ(data.getWorldMapSetting(), Fenwarrow::CWorldMapSetting{});
    EXPECT_EQ(data.getResultSetting(), result);

    fill(data);
    data.resetResultSetting();
    Fenwarrow::CResultSetting expected;
    expected.reserved = result.reserved;  // the reserved tail is left as it is
    EXPECT_EQ(data.getResultSetting(), expected);
    EXPECT_TRUE(data.getDungeonSetting().resume);
}

TEST(CSettingDataManagerTest, SettingTextKeepsAtMostAllButOneUnit) {
    std::array<char16_t, Fenwarrow::kSettingPathUnits> field{};
    setSettingText(field, std::u16string(200, u'x'));
    EXPECT_EQ(getSettingText(field), std::u16string(127, u'x'));
    setSettingText(field, u"short");
    EXPECT_EQ(getSettingText(field), u"short");
    EXPECT_EQ(field[6], u'\0') << "the rest of the field is cleared";
}

}  // namespace
