#include "game/services/CGameSetting.h"

#include <algorithm>
#include <tuple>

#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow {
namespace {

constexpr char16_t kSettingsFile[] = u"./config.ini";
constexpr char16_t kBootSection[] = u"BootSetting";
constexpr char16_t kKeySection[] = u"KeySettig";
constexpr char16_t kDefaultPlayerName[] = u"名無しの旅人";

constexpr uint32_t kDefaultKeys[CGameSetting::kKeyCount] = {120, 123, 125, 122, 30, 43, 29, 44, 15, 16, 56, 17};
constexpr uint32_t kDefaultPads[CGameSetting::kKeyCount] = {128, 129, 130, 131, 0, 1, 2, 3, 6, 7, 9, 8};

std::u16string decimal(uint32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

CGameSetting::CGameSetting() {
    setPlayerName(kDefaultPlayerName);
    keyCodes.assign(std::begin(kDefaultKeys), std::end(kDefaultKeys));
    padCodes.assign(std::begin(kDefaultPads), std::end(kDefaultPads));
}

bool CGameSetting::load() {
    if (const std::u16string problem = Orvex::System::profileReadProblem(kSettingsFile); !problem.empty()) {
        Orvex::System::errorOutput(u"config.ini: " + problem + u"; the default settings are used");
    }
    fullScreen = readBool(kBootSection, u"Fullscreen", false);
    std::tie(windowWidth, windowHeight) = getWindowSize(readInt(kBootSection, u"WindowSize", 0));
    highFont = readBool(kBootSection, u"HighFont", true);
    frameSkip = readInRange(kBootSection, u"FrameSkip", 0, kMaxFrameSkip);
    masterVolume = static_cast<float>(readInRange(kBootSection, u"MasterVolumeBGM", 50, kMaxVolumePercent) / 100.0);
    setPlayerName(readString(kBootSection, u"PlayerName", kDefaultPlayerName));
    keyCodes.clear();
    padCodes.clear();
    for (size_t n = 0; n < kKeyCount; ++n) {
        keyCodes.push_back(readInt(kKeySection, u"Key-" + decimal(static_cast<uint32_t>(n)), kDefaultKeys[n]));
    }
    for (size_t n = 0; n < kKeyCount; ++n) {
        padCodes.push_back(readInt(kKeySection, u"Pad-" + decimal(static_cast<uint32_t>(n)), kDefaultPads[n]));
    }
    return true;
}

uint32_t CGameSetting::readInt(const std::u16string& section, const std::u16string& key, uint32_t defaultValue) const {
    return Orvex::System::getProfileInt(section, key, static_cast<int32_t>(defaultValue), kSettingsFile);
}

uint32_t CGameSetting::readInRange(const std::u16string& section, const std::u16string& key, uint32_t defaultValue,
                                   uint32_t maximum) const {
    const uint32_t value = readInt(section, key, defaultValue);
    if (value <= maximum) {
        return value;
    }
    Orvex::System::errorOutput(u"config.ini: [" + section + u"] " + key + u"=" + decimal(value) + u" is not in 0.." +
                               decimal(maximum) + u"; " + decimal(defaultValue) + u" is used");
    return defaultValue;
}

std::u16string CGameSetting::readString(const std::u16string& section, const std::u16string& key,
                                        const std::u16string& defaultValue) const {
    std::u16string value;
    uint32_t size = 64;
    // A value that filled the buffer may have been cut: read again with twice the room.
    for (;;) {
        const uint32_t length = Orvex::System::getProfileString(section, key, defaultValue, value, size, kSettingsFile);
        if (length != size - 1 && length != size - 2) return value;
        size *= 2;
    }
}

bool CGameSetting::readBool(const std::u16string& section, const std::u16string& key, bool defaultValue) const {
    return readString(section, key, defaultValue ? u"True" : u"False") == u"True";
}

bool CGameSetting::writeString(const std::u16string& section, const std::u16string& key,
                               const std::u16string& value) const {
    return Orvex::System::writeProfileString(section, key, value, kSettingsFile);
}

bool CGameSetting::writeInt(const std::u16string& section, const std::u16string& key, uint32_t value) const {
    return writeString(section, key, decimal(value));
}

bool CGameSetting::writeBool(const std::u16string& section, const std::u16string& key, bool value) const {
    return writeString(section, key, value ? u"True" : u"False");
}

std::pair<uint32_t, uint32_t> CGameSetting::getWindowSize(uint32_t index) {
    switch (index) {
        case 1:
            return {640, 480};
        case 2:
            return {480, 360};
        case 3:
            return {320, 240};
        default:
            return {800, 600};
    }
}

void CGameSetting::setPlayerName(const std::u16string& name) {
    // The field holds 63 units and the terminator; a longer name is cut.
    playerName.fill(u'\0');
    std::copy_n(name.begin(), std::min(name.size(), kPlayerNameUnits - 1), playerName.begin());
}

}  // namespace Fenwarrow
