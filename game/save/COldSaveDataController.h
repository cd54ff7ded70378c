#pragma once
// The common save of the earlier release: the whole file, header included, XORed with the
// container's key, with no compression and a shorter body. It is only read, once, when the
// game meets it; the next common save writes the data back in the current format.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/save/CSaveDataController.h"

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow {

class CSettingDataManager;
class IGameContext;

class COldSaveDataController {
public:
    // An old save is a few kilobytes; anything near this size is not one.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    COldSaveDataController() = default;
    COldSaveDataController(const COldSaveDataController&) = delete;
    COldSaveDataController& operator=(const COldSaveDataController&) = delete;
    virtual ~COldSaveDataController() = default;

    // Reads the old file at path and migrates it into the game data and settings; false when it
    // cannot be read, is not of the old format, or an actor or item in it cannot be made;
    // getLastError() then says which.
    bool loadCommonData(IGameContext& game, CSettingDataManager& settings, const std::u16string& path);

    // Reads the whole file into data, unscrambled, with the header taken off into getHeader()
    // and data left reading just after it. False when the file cannot be opened, is shorter
    // than the header or longer than kMaxFileBytes.
    bool readOldContainer(Orvex::Serialization::OxSerializer& data, const std::u16string& path);

    const CSaveDataController::Header& getHeader() const { return header_; }
    // Why the last read or load refused its file (without the file's name).
    const std::string& getLastError() const { return lastError_; }

private:
    bool refuse(std::string reason);

    CSaveDataController::Header header_{};
    std::string lastError_;
};

}  // namespace Fenwarrow
