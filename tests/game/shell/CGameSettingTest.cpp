#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/services/CGameSetting.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/NativeFile.h"

namespace {

using Fenwarrow::CGameSetting;

// Runs each test in an empty directory of its own, where "./config.ini" is looked for.
class CGameSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = std::filesystem::current_path();
        dir_ = Platform::Kernel::makeTemporaryDirectory("settings");
        ASSERT_FALSE(dir_.empty());
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::remove("config.ini");
        std::filesystem::current_path(original_);
        std::filesystem::remove(dir_);
    }
    void writeConfig(const std::string& text) { std::ofstream("config.ini", std::ios::binary) << text; }

    std::filesystem::path original_;
    std::string dir_;
};

TEST_F(CGameSettingTest, WithoutAFileEverySettingHasItsDefault) {
    CGameSetting setting;
    EXPECT_TRUE(setting.load());
    EXPECT_FALSE(setting.fullScreen);
    EXPECT_EQ(setting.windowWidth, 800u);
    EXPECT_EQ(setting.windowHeight, 600u);
    EXPECT_TRUE(setting.highFont);
    EXPECT_EQ(setting.frameSkip, 0u);
    EXPECT_FLOAT_EQ(setting.masterVolume, 0.5f);
    EXPECT_EQ(setting.getPlayerName(), u"名無しの旅人");
    EXPECT_EQ(setting.keyCodes, (std::vector<uint32_t>{120, 123, 125, 122, 30, 43, 29, 44, 15, 16, 56, 17}));
    EXPECT_EQ(setting.padCodes, (std::vector<uint32_t>{128, 129, 130, 131, 0, 1, 2, 3, 6, 7, 9, 8}));
}

TEST_F(CGameSettingTest, ReadsTheFileWithTheGamesOwnRules) {
    writeConfig(
        "[BootSetting]\nFullscreen=true\nWindowSize=3\nHighFont=False\nFrameSkip=2\nMasterVolumeBGM=80\n"
        "PlayerName=\"旅の剣士\"\n[KeySettig]\nKey-0=200\nPad-11=15\n");
    CGameSetting setting;
    setting.load();
    EXPECT_FALSE(setting.fullScreen);  // only "True" exactly turns it on
    EXPECT_EQ(setting.windowWidth, 320u);
    EXPECT_EQ(setting.windowHeight, 240u);
    EXPECT_EQ(setting.screenWidth, 800u);  // the back buffer stays 800 x 600
    EXPECT_FALSE(setting.highFont);
    EXPECT_EQ(setting.frameSkip, 2u);
    EXPECT_FLOAT_EQ(setting.masterVolume, 0.8f);
    EXPECT_EQ(setting.getPlayerName(), u"旅の剣士");
    EXPECT_EQ(setting.keyCodes[0], 200u);
    EXPECT_EQ(setting.keyCodes[1], 123u);
    EXPECT_EQ(setting.padCodes[11], 15u);
}

TEST_F(CGameSettingTest, WindowSizeTable) {
    const std::pair<uint32_t, std::pair<uint32_t, uint32_t>> cases[] = {
        {0, {800, 600}}, {1, {640, 480}}, {2, {480, 360}}, {3, {320, 240}}, {7, {800, 600}}};
    for (const auto& [index, size] : cases) {
        EXPECT_EQ(CGameSetting::getWindowSize(index), size) << index;
    }
}

TEST_F(CGameSettingTest, ALongNameIsCutToTheFieldAndLongValuesAreReadWhole) {
    const std::string longName(100, 'n');
    writeConfig("[BootSetting]\nPlayerName=" + longName + "\n");
    CGameSetting setting;
    setting.load();
    EXPECT_EQ(setting.getPlayerName(), std::u16string(63, u'n'));
    EXPECT_EQ(setting.readString(u"BootSetting", u"PlayerName", u"").size(), 100u);
}

TEST_F(CGameSettingTest, WritersProduceWhatTheReadersExpect) {
    CGameSetting setting;
    EXPECT_TRUE(setting.writeBool(u"BootSetting", u"Fullscreen", true));
    EXPECT_TRUE(setting.writeInt(u"BootSetting", u"FrameSkip", 3));
    EXPECT_TRUE(setting.writeString(u"BootSetting", u"PlayerName", u"勇者"));
    setting.load();
    EXPECT_TRUE(setting.fullScreen);
    EXPECT_EQ(setting.frameSkip, 3u);
    EXPECT_EQ(setting.getPlayerName(), u"勇者");
}

// Lines the settings write, through the debug channel's sink (they also go to stderr).
class LineCapture {
public:
    LineCapture() {
        Platform::Kernel::setDebugSink([this](std::u16string_view text) { lines_.emplace_back(text); });
    }
    ~LineCapture() { Platform::Kernel::setDebugSink({}); }
    bool contains(std::u16string_view part) const {
        for (const auto& line : lines_) {
            if (line.find(part) != std::u16string::npos) return true;
        }
        return false;
    }
    size_t count() const { return lines_.size(); }

private:
    std::vector<std::u16string> lines_;
};

TEST_F(CGameSettingTest, ValuesTheGameCannotUseFallBackToTheirDefaultsWithALine) {
    struct Case {
        const char* config;
        uint32_t frameSkip;
        float volume;
        std::u16string line;  // empty: nothing to say
    };
    const Case cases[] = {
        {"FrameSkip=59\nMasterVolumeBGM=100\n", 59, 1.0f, u""},
        {"FrameSkip=4294967295\n", 0, 0.5f, u"[BootSetting] FrameSkip=4294967295 is not in 0..59; 0 is used"},
        {"FrameSkip=60\n", 0, 0.5f, u"FrameSkip=60"},
        {"MasterVolumeBGM=4294967295\n", 0, 0.5f, u"MasterVolumeBGM=4294967295 is not in 0..100; 50 is used"},
        {"MasterVolumeBGM=101\n", 0, 0.5f, u"MasterVolumeBGM=101"},
    };
    for (const Case& c : cases) {
        writeConfig(std::string("[BootSetting]\n") + c.config);
        LineCapture capture;
        CGameSetting setting;
        setting.load();
        EXPECT_EQ(setting.frameSkip, c.frameSkip) << c.config;
        EXPECT_FLOAT_EQ(setting.masterVolume, c.volume) << c.config;
        if (c.line.empty()) {
            EXPECT_EQ(capture.count(), 0u) << c.config;
        } else {
            EXPECT_TRUE(capture.contains(c.line)) << c.config;
        }
    }
}

TEST_F(CGameSettingTest, AFolderNamedConfigIniGivesTheDefaultsAndALine) {
    ASSERT_TRUE(std::filesystem::create_directory("config.ini"));
    LineCapture capture;
    CGameSetting setting;
    EXPECT_TRUE(setting.load());
    std::filesystem::remove("config.ini");
    EXPECT_TRUE(capture.contains(u"config.ini: is not a regular file; the default settings are used"));
    EXPECT_EQ(setting.frameSkip, 0u);
    EXPECT_FLOAT_EQ(setting.masterVolume, 0.5f);
    EXPECT_EQ(setting.getPlayerName(), u"名無しの旅人");
}

}  // namespace
