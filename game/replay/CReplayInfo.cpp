#include "game/replay/CReplayInfo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ctime>
#include <utility>

#include "engine/input/OxVirtualKey.h"
#include "engine/random/IOrvexRandomGenerator.h"
#include "engine/io/OxPathUtility.h"
#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxStringConvert.h"
#include "engine/system/OxSystemFacade.h"
#include "engine/system/OxWideFormat.h"
#include "engine/timer/OxTimer.h"
#include "game/save/CSaveDataController.h"

namespace Fenwarrow::Replay {
namespace {

constexpr char16_t kVersionText[] = u"1.00";

// The result record is laid out as it is saved, little-endian numbers included.
static_assert(std::endian::native == std::endian::little);

template <std::size_t N>
void copyCut(std::array<char16_t, N>& field, const std::u16string& text) {
    field.fill(0);
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field.begin());
}

// The text up to the first zero unit.
template <std::size_t N>
std::u16string textOf(const std::array<char16_t, N>& field) {
    return std::u16string(field.data(), std::find(field.begin(), field.end(), u'\0') - field.begin());
}

template <std::size_t N>
void writeText(Orvex::Serialization::OxSerializer& serializer, const std::array<char16_t, N>& field) {
    uint8_t bytes[N * 2];
    for (std::size_t i = 0; i < N; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(field[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(field[i] >> 8);
    }
    serializer.writeBlock(bytes, sizeof(bytes));
}

template <std::size_t N>
void readText(Orvex::Serialization::OxSerializer& serializer, std::array<char16_t, N>& field) {
    uint8_t bytes[N * 2] = {};
    serializer.readBlock(bytes, sizeof(bytes));
    for (std::size_t i = 0; i < N; ++i) {
        field[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    // A damaged file may fill the field to its end; the text always ends inside it.
    field[N - 1] = 0;
}

}  // namespace

// The result record is written with its padding bytes, which must be zero as well.
CReplayInfo::CReplayInfo() { std::memset(&result_, 0, sizeof(result_)); }

CReplayInfo::CReplayInfo(Orvex::Random::IOrvexRandomGenerator& random, const std::u16string& playerName) {
    initialize(random, playerName);
}

void CReplayInfo::initialize(Orvex::Random::IOrvexRandomGenerator& random, const std::u16string& playerName) {
    seed_ = Orvex::Timer::OxTimer().getSystemTime();
    random.seed(seed_);
    dungeonScript_.fill(0);
    frames_.clear();
    std::memset(&result_, 0, sizeof(result_));
    copyCut(version_, Orvex::System::formatWide(u"%s", kVersionText));
    copyCut(playerName_, Orvex::System::formatWide(u"%s", playerName));
    timeStamp_ = static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr)));
}

void CReplayInfo::setDungeonScript(const std::u16string& path) { copyCut(dungeonScript_, path); }

std::u16string CReplayInfo::getDungeonScript() const { return textOf(dungeonScript_); }

std::u16string CReplayInfo::getVersion() const { return textOf(version_); }

std::u16string CReplayInfo::getPlayerName() const { return textOf(playerName_); }

void CReplayInfo::copyHeaderFrom(const CReplayInfo& other) {
    seed_ = other.seed_;
    dungeonScript_ = other.dungeonScript_;
    version_ = other.version_;
    playerName_ = other.playerName_;
    timeStamp_ = other.timeStamp_;
}

CReplayFrame CReplayInfo::makeFrame(Orvex::InputSystem::OxVirtualKey& keys, float playTime) {
    CReplayFrame frame;
    for (uint32_t k = 0; k < kReplayKeyCount; ++k) {
        CReplayKeyState& key = frame.keys[k];
        key.repeat = keys.isRepeat(k);
        key.released = keys.isReleased(k);
        key.pushed = keys.isPushed(k);
        key.down = keys.isDown(k);
        key.holdCount = keys.getHoldCount(k);
    }
    frame.playTime = playTime;
    return frame;
}

void CReplayInfo::appendFrame(Orvex::InputSystem::OxVirtualKey& keys, float playTime) {
    frames_.push_back(makeFrame(keys, playTime));
}

bool CReplayInfo::serialize(Orvex::Serialization::OxSerializer& serializer) const {
    serializer.write32(seed_);
    writeText(serializer, version_);
    writeText(serializer, dungeonScript_);
    writeText(serializer, playerName_);
    serializer.write32(timeStamp_);
    serializer.write32(static_cast<uint32_t>(frames_.size()));
    for (const CReplayFrame& frame : frames_) {
        const CReplayFrameDisk disk = toDisk(frame);
        serializer.writeBlock(&disk, sizeof(disk));
    }
    serializer.writeBlock(&result_, sizeof(result_));
    return true;
}

bool CReplayInfo::deserialize(Orvex::Serialization::OxSerializer& serializer) {
    frames_.clear();
    std::vector<CReplayFrame> frames;
    const bool read = deserialize(serializer, frames);
    frames_.swap(frames);
    return read;
}

bool CReplayInfo::deserialize(Orvex::Serialization::OxSerializer& serializer, std::vector<CReplayFrame>& frames) {
    frames_.clear();
    const std::size_t before = frames.size();
    serializer.read32(seed_);
    readText(serializer, version_);
    readText(serializer, dungeonScript_);
    readText(serializer, playerName_);
    serializer.read32(timeStamp_);
    uint32_t count = 0;
    // A damaged count is refused before anything is allocated for it.
    if (serializer.readCount(count, sizeof(CReplayFrameDisk))) {
        const uint8_t* records = serializer.readBytesInPlace(std::size_t{count} * sizeof(CReplayFrameDisk));
        appendFrames(records, count, frames);
    }
    serializer.readBlock(&result_, sizeof(result_));
    if (serializer.hasReadFailed()) {
        frames.resize(before);
        return false;
    }
    return true;
}

void CReplayInfo::appendFrames(const uint8_t* records, std::size_t count, std::vector<CReplayFrame>& frames) {
    if (records == nullptr) {
        return;
    }
    // Growth stays geometric even when a caller appends many small bodies.
    if (frames.capacity() - frames.size() < count) {
        frames.reserve(std::max(frames.size() + count, 2 * frames.capacity()));
    }
    for (std::size_t i = 0; i < count; ++i, records += sizeof(CReplayFrameDisk)) {
        CReplayFrameDisk disk;
        std::memcpy(&disk, records, sizeof(disk));
        frames.push_back(fromDisk(disk));
    }
}

bool saveReplayFile(const CReplayInfo& info, const std::u16string& path) {
    CSaveDataController container;
    container.prepareHeader();
    Orvex::Serialization::OxSerializer serializer;
    info.serialize(serializer);
    return container.writeContainer(serializer, path);
}

namespace {

// Reads the container file at path and hands its body to `read`. A file that is there but cannot
// be read gets a line naming it and why; a file that is not there is no damage: the chunks of a
// run simply end there.
template <typename Read>
bool readReplayContainer(const std::u16string& path, Read read) {
    if (!Orvex::IO::fileExists(path)) {
        return false;
    }
    const auto refuse = [&path](const std::string& reason) {
        Orvex::System::errorOutput(path + u": the replay is refused: " + Orvex::System::widen(reason));
        return false;
    };
    CSaveDataController container;
    Orvex::Serialization::OxSerializer serializer;
    if (!container.readContainer(serializer, path)) {
        return refuse(container.getLastError());
    }
    if (!container.hasValidHeader()) {
        return refuse("its header does not start with the save mark");
    }
    if (!read(serializer)) {
        return refuse("its frames or its result record end early");
    }
    return true;
}

}  // namespace

bool loadReplayFile(CReplayInfo& info, const std::u16string& path) {
    CReplayInfo loaded;
    if (!readReplayContainer(path, [&](auto& serializer) { return loaded.deserialize(serializer); })) {
        return false;
    }
    info = std::move(loaded);
    return true;
}

bool loadReplayChunk(CReplayInfo& header, std::vector<CReplayFrame>& frames, const std::u16string& path) {
    return readReplayContainer(path, [&](auto& serializer) { return header.deserialize(serializer, frames); });
}

}  // namespace Fenwarrow::Replay
