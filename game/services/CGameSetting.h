#pragma once
// The boot settings of the game, read once from "./config.ini" before the window exists.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Fenwarrow {

class CGameSetting {
public:
    static constexpr size_t kPlayerNameUnits = 64;  // including the terminator
    static constexpr size_t kKeyCount = 12;

    CGameSetting();
    CGameSetting(const CGameSetting&) = delete;
    CGameSetting& operator=(const CGameSetting&) = delete;
    virtual ~CGameSetting() = default;

    // The largest values the game can use: one frame in 60 drawn at the least, the master
    // volume at most unchanged.
    static constexpr uint32_t kMaxFrameSkip = 59;
    static constexpr uint32_t kMaxVolumePercent = 100;

    // Reads every setting; an absent file or key keeps its default, and so does a file that
    // cannot be read or a number out of range (each with a line on stderr). Always true.
    bool load();

    uint32_t readInt(const std::u16string& section, const std::u16string& key, uint32_t defaultValue) const;
    // readInt, with `defaultValue` (and a line on stderr) for a value above `maximum`.
    uint32_t readInRange(const std::u16string& section, const std::u16string& key, uint32_t defaultValue,
                         uint32_t maximum) const;
    std::u16string readString(const std::u16string& section, const std::u16string& key,
                              const std::u16string& defaultValue) const;
    bool readBool(const std::u16string& section, const std::u16string& key, bool defaultValue) const;
    bool writeString(const std::u16string& section, const std::u16string& key, const std::u16string& value) const;
    bool writeInt(const std::u16string& section, const std::u16string& key, uint32_t value) const;
    bool writeBool(const std::u16string& section, const std::u16string& key, bool value) const;

    // Client size of the window for a "WindowSize" index: 1, 2, 3 are smaller, the rest 800 x 600.
    static std::pair<uint32_t, uint32_t> getWindowSize(uint32_t index);

    uint32_t screenWidth = 800;
    uint32_t screenHeight = 600;
    bool fullScreen = false;
    uint32_t windowWidth = 800;
    uint32_t windowHeight = 600;
    bool highFont = true;
    uint32_t frameSkip = 0;
    float masterVolume = 0.5f;
    std::array<char16_t, kPlayerNameUnits> playerName{};
    std::vector<uint32_t> keyCodes;
    std::vector<uint32_t> padCodes;

    std::u16string getPlayerName() const { return std::u16string(playerName.data()); }

private:
    void setPlayerName(const std::u16string& name);
};

}  // namespace Fenwarrow
