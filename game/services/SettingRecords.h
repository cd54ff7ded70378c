#pragma once
// The hand-over records one scene fills for the next, and their saved forms.
//
// In memory the records have typed fields; in a save each is a fixed block of bytes with
// little-endian numbers and UTF-16 text, converted field by field. The result record names a
// stored ranking record by its index over the three ranking lists (0..14), never by address;
// kNoRankingRecord marks no record. Saves of earlier versions wrote 0 for no record, so a
// stored 0 reads back as no record (the link only carries a hand-over from the extras to the
// result scene and is never needed after a load).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow {

struct CResultInfo;

inline constexpr std::size_t kSettingPathUnits = 128;  // including the terminator
inline constexpr std::size_t kResultTextUnits = 256;   // including the terminator
inline constexpr std::size_t kResultFlagCount = 6;
inline constexpr std::size_t kResultReservedBytes = 128;
inline constexpr uint32_t kNoRankingRecord = 0xFFFFFFFFu;
// The records of the three ranking lists, one list after another.
inline constexpr uint32_t kRankingRecordCount = 15;

// Indices into CResultSetting::flags.
enum ResultFlag : std::size_t {
    kResultReturned = 0,
    kResultGaveUp = 1,
    kResultR30Cleared = 2,
    kResultR99Cleared = 3,
    kResultTT23Cleared = 4,
    kResultMeltdown = 5,
};

// Which dungeon script the dungeon scene starts, or that it resumes the suspended floor.
struct CDungeonSetting {
    bool resume = false;
    std::array<char16_t, kSettingPathUnits> scriptPath{};

    bool operator==(const CDungeonSetting&) const = default;
};

// The adventure or movie to play and the scene to go to afterwards.
struct CPathSetting {
    std::array<char16_t, kSettingPathUnits> path{};
    int32_t nextScene = 0;

    bool operator==(const CPathSetting&) const = default;
};

struct CWorldMapSetting {
    uint32_t bootMode = 0;
    std::array<char16_t, kSettingPathUnits> prevDungeonScriptPath{};
    std::array<char16_t, kSettingPathUnits> nextDungeonScriptPath{};

    bool operator==(const CWorldMapSetting&) const = default;
};

// What the result scene shows of the dive that just ended, or which stored ranking to show.
struct CResultSetting {
    std::array<char16_t, kResultTextUnits> damageSourceName{};
    std::array<char16_t, kResultTextUnits> damageName{};
    int32_t lastFloorNumber = 0;
    std::array<char16_t, kResultTextUnits> lastFloorName{};
    std::array<uint8_t, kResultFlagCount> flags{};
    int32_t nextScene = 0;
    uint32_t rankingIndex = kNoRankingRecord;
    std::array<uint8_t, kResultReservedBytes> reserved{};

    bool operator==(const CResultSetting&) const = default;
};

// The saved forms: byte arrays only, so layout and byte order never depend on the compiler.
struct CDungeonSettingDisk {
    uint8_t resume[1];
    uint8_t padding[1];
    uint8_t scriptPath[kSettingPathUnits * 2];
};
static_assert(sizeof(CDungeonSettingDisk) == 258);

struct CPathSettingDisk {
    uint8_t path[kSettingPathUnits * 2];
    uint8_t nextScene[4];
};
static_assert(sizeof(CPathSettingDisk) == 260);

struct CWorldMapSettingDisk {
    uint8_t bootMode[4];
    uint8_t prevDungeonScriptPath[kSettingPathUnits * 2];
    uint8_t nextDungeonScriptPath[kSettingPathUnits * 2];
};
static_assert(sizeof(CWorldMapSettingDisk) == 516);

struct CResultSettingDisk {
    uint8_t damageSourceName[kResultTextUnits * 2];
    uint8_t damageName[kResultTextUnits * 2];
    uint8_t lastFloorNumber[4];
    uint8_t lastFloorName[kResultTextUnits * 2];
    uint8_t flags[kResultFlagCount];
    uint8_t padding[2];
    uint8_t nextScene[4];
    uint8_t rankingRecord[4];
    uint8_t reserved[kResultReservedBytes];
};
static_assert(sizeof(CResultSettingDisk) == 1684);
static_assert(offsetof(CResultSettingDisk, lastFloorName) == 1028);
static_assert(offsetof(CResultSettingDisk, nextScene) == 1548);
static_assert(offsetof(CResultSettingDisk, reserved) == 1556);

// Text read from a save that fills its whole field is cut by one unit, so every field keeps
// its terminator.
CDungeonSettingDisk toDisk(const CDungeonSetting& record);
CDungeonSetting fromDisk(const CDungeonSettingDisk& disk);
CPathSettingDisk toDisk(const CPathSetting& record);
CPathSetting fromDisk(const CPathSettingDisk& disk);
CWorldMapSettingDisk toDisk(const CWorldMapSetting& record);
CWorldMapSetting fromDisk(const CWorldMapSettingDisk& disk);
CResultSettingDisk toDisk(const CResultSetting& record);
CResultSetting fromDisk(const CResultSettingDisk& disk);

// Write the record, or read it by the serializer's direction. A failed read returns false and
// leaves the record as it was.
bool serializeDungeonSetting(Orvex::Serialization::OxSerializer& serializer, CDungeonSetting& record);
bool serializePathSetting(Orvex::Serialization::OxSerializer& serializer, CPathSetting& record);
bool serializeWorldMapSetting(Orvex::Serialization::OxSerializer& serializer, CWorldMapSetting& record);
bool serializeResultSetting(Orvex::Serialization::OxSerializer& serializer, CResultSetting& record);

// Copies at most N - 1 units of the text and terminates it; the rest of the field is zeroed.
template <std::size_t N>
void setSettingText(std::array<char16_t, N>& field, std::u16string_view text) {
    field.fill(u'\0');
    const std::size_t count = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field.data(), count);
}

// The text up to its terminator (or the whole field).
template <std::size_t N>
std::u16string getSettingText(const std::array<char16_t, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != u'\0') {
        ++length;
    }
    return std::u16string(field.data(), length);
}

}  // namespace Fenwarrow
