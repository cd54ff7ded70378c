#pragma once
// One replay: the random seed the run started from, its header texts, one frame record per
// input step and the run's result record. Stored whole (a replay file) or a chunk of frames at
// a time (a chunk file) in the save container.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/replay/ReplayRecords.h"
#include "game/gamedata/CResultInfo.h"

namespace Orvex::InputSystem {
class OxVirtualKey;
}
namespace Orvex::Random {
class IOrvexRandomGenerator;
}
namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow::Replay {

class CReplayInfo {
public:
    // Field sizes in UTF-16 code units, terminator included.
    static constexpr std::size_t kDungeonScriptUnits = 128;
    static constexpr std::size_t kVersionUnits = 64;
    static constexpr std::size_t kPlayerNameUnits = 64;
    // A blank replay (seed 0, empty texts) to read a file into; nothing is seeded.
    CReplayInfo();
    // A new replay of the run about to start: see initialize.
    CReplayInfo(Orvex::Random::IOrvexRandomGenerator& random, const std::u16string& playerName);

    // Seed from the system clock, which reseeds the game's generator at once; no dungeon
    // script, no frames, a cleared result; version "1.00"; the player name (cut to its
    // field); the calendar time now.
    void initialize(Orvex::Random::IOrvexRandomGenerator& random, const std::u16string& playerName);

    // Cut to 127 code units; the rest of the field is zero.
    void setDungeonScript(const std::u16string& path);
    std::u16string getDungeonScript() const;
    std::u16string getVersion() const;
    std::u16string getPlayerName() const;

    uint32_t getSeed() const { return seed_; }
    uint32_t getTimeStamp() const { return timeStamp_; }

    // The seed, dungeon script, version, player name and time stamp of another replay.
    void copyHeaderFrom(const CReplayInfo& other);

    // Asks each key, in this order, isRepeat, isReleased, isPushed, isDown, getHoldCount.
    static CReplayFrame makeFrame(Orvex::InputSystem::OxVirtualKey& keys, float playTime);
    void appendFrame(Orvex::InputSystem::OxVirtualKey& keys, float playTime);

    std::vector<CReplayFrame>& getFrames() { return frames_; }
    const std::vector<CReplayFrame>& getFrames() const { return frames_; }
    // The run's result record, filled when a recorded run ends; all zero until then.
    CResultInfo& getResult() { return result_; }
    const CResultInfo& getResult() const { return result_; }

    // Writes the replay body; always true.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) const;
    // Reads a replay body; false when the bytes end early (the replay is then not to be used).
    bool deserialize(Orvex::Serialization::OxSerializer& serializer);
    // The same, except that the frames go to the end of `frames` and the replay's own list is
    // left empty; on failure `frames` is as it was. Merging chunks decodes them in place so.
    bool deserialize(Orvex::Serialization::OxSerializer& serializer, std::vector<CReplayFrame>& frames);

private:
    // Decodes count saved frame records (none when records is null) onto the end of frames.
    static void appendFrames(const uint8_t* records, std::size_t count, std::vector<CReplayFrame>& frames);

    uint32_t seed_ = 0;
    std::vector<CReplayFrame> frames_;
    std::array<char16_t, kDungeonScriptUnits> dungeonScript_{};
    CResultInfo result_{};
    std::array<char16_t, kVersionUnits> version_{};
    std::array<char16_t, kPlayerNameUnits> playerName_{};
    uint32_t timeStamp_ = 0;
};

// A replay or chunk file: the container holding one replay body.
bool saveReplayFile(const CReplayInfo& info, const std::u16string& path);
// False unless the file is a valid container holding a whole replay body; info is then unchanged.
bool loadReplayFile(CReplayInfo& info, const std::u16string& path);
// Reads a chunk file as loadReplayFile does, except that its frames are appended to `frames`
// (`header` gets the rest); on failure `frames` is as it was.
bool loadReplayChunk(CReplayInfo& header, std::vector<CReplayFrame>& frames, const std::u16string& path);

}  // namespace Fenwarrow::Replay
