#pragma once
// What a maintainer needs to look into a player's save or replay: the container's header and
// the fields of its body, decoded without running any game script; and the old-format sample
// save the tests and the sample data start the migration from.
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace Orvex::Tools::SaveTool {

// Prints the header and the decoded body of a container file (common save, suspend save,
// replay or replay chunk, told apart by the file name) or of an old-format common save. False,
// with the reason printed to `error`, when the file cannot be read as any of them.
bool describeFile(const std::string& path, std::ostream& out, std::ostream& error);

// The old-format common save written by writeOldSample.
struct OldSample {
    int32_t money = 1234567;  // above the current limit: the old format keeps it
    // Item IDs the player carries, and {category, item ID} in the storage (none in the sample
    // data, which cannot know the item kinds of every game).
    std::vector<uint32_t> playerItems;
    std::vector<std::pair<int32_t, uint32_t>> storage;
    int32_t weaponIndex = -1;
    // What the player's script reads back in its "deserialize" (the sample data's reads nothing).
    std::vector<int32_t> playerScriptData;
};

// The bytes of an old-format "c000.bin", built with the game's own serializer and records.
std::vector<uint8_t> makeOldSample(const OldSample& sample);
bool writeOldSample(const std::string& path, const OldSample& sample, std::ostream& error);

}  // namespace Orvex::Tools::SaveTool
