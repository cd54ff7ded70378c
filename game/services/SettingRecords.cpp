#include "game/services/SettingRecords.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow {

namespace {

void putU32(uint8_t (&out)[4], uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t getU32(const uint8_t (&in)[4]) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(in[i]) << (8 * i);
    }
    return value;
}

template <std::size_t N>
void putText(uint8_t (&out)[N * 2], const std::array<char16_t, N>& text) {
    for (std::size_t i = 0; i < N; ++i) {
        out[2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
    }
}

template <std::size_t N>
void getText(std::array<char16_t, N>& text, const uint8_t (&in)[N * 2]) {
    for (std::size_t i = 0; i < N; ++i) {
        text[i] = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    }
    text[N - 1] = u'\0';
}

// Reads or writes one record through its saved form; a failed read changes nothing.
template <typename Disk, typename Record>
bool serializeRecord(Orvex::Serialization::OxSerializer& serializer, Record& record) {
    if (serializer.isWriting()) {
        const Disk disk = toDisk(record);
        serializer.writeBlock(&disk, sizeof disk);
        return true;
    }
    Disk disk{};
    if (!serializer.readBlock(&disk, sizeof disk)) {
        return false;
    }
    record = fromDisk(disk);
    return true;
}

}  // namespace

CDungeonSettingDisk toDisk(const CDungeonSetting& record) {
    CDungeonSettingDisk disk{};
    disk.resume[0] = record.resume ? 1 : 0;
    putText(disk.scriptPath, record.scriptPath);
    return disk;
}

CDungeonSetting fromDisk(const CDungeonSettingDisk& disk) {
    CDungeonSetting record;
    record.resume = disk.resume[0] != 0;
    getText(record.scriptPath, disk.scriptPath);
    return record;
}

CPathSettingDisk toDisk(const CPathSetting& record) {
    CPathSettingDisk disk{};
    putText(disk.path, record.path);
    putU32(disk.nextScene, static_cast<uint32_t>(record.nextScene));
    return disk;
}

CPathSetting fromDisk(const CPathSettingDisk& disk) {
    CPathSetting record;
    getText(record.path, disk.path);
    record.nextScene = static_cast<int32_t>(getU32(disk.nextScene));
    return record;
}

CWorldMapSettingDisk toDisk(const CWorldMapSetting& record) {
    CWorldMapSettingDisk disk{};
    putU32(disk.bootMode, record.bootMode);
    putText(disk.prevDungeonScriptPath, record.prevDungeonScriptPath);
    putText(disk.nextDungeonScriptPath, record.nextDungeonScriptPath);
    return disk;
}

CWorldMapSetting fromDisk(const CWorldMapSettingDisk& disk) {
    CWorldMapSetting record;
    record.bootMode = getU32(disk.bootMode);
    getText(record.prevDungeonScriptPath, disk.prevDungeonScriptPath);
    getText(record.nextDungeonScriptPath, disk.nextDungeonScriptPath);
    return record;
}

CResultSettingDisk toDisk(const CResultSetting& record) {
    CResultSettingDisk disk{};
    putText(disk.damageSourceName, record.damageSourceName);
    putText(disk.damageName, record.damageName);
    putU32(disk.lastFloorNumber, static_cast<uint32_t>(record.lastFloorNumber));
    putText(disk.lastFloorName, record.lastFloorName);
    for (std::size_t i = 0; i < kResultFlagCount; ++i) {
        disk.flags[i] = record.flags[i];
    }
    putU32(disk.nextScene, static_cast<uint32_t>(record.nextScene));
    putU32(disk.rankingRecord, record.rankingIndex < kRankingRecordCount ? record.rankingIndex : kNoRankingRecord);
    for (std::size_t i = 0; i < kResultReservedBytes; ++i) {
        disk.reserved[i] = record.reserved[i];
    }
    return disk;
}

CResultSetting fromDisk(const CResultSettingDisk& disk) {
    CResultSetting record;
    getText(record.damageSourceName, disk.damageSourceName);
    getText(record.damageName, disk.damageName);
    record.lastFloorNumber = static_cast<int32_t>(getU32(disk.lastFloorNumber));
    getText(record.lastFloorName, disk.lastFloorName);
    for (std::size_t i = 0; i < kResultFlagCount; ++i) {
        record.flags[i] = disk.flags[i];
    }
    record.nextScene = static_cast<int32_t>(getU32(disk.nextScene));
    // 0 is how earlier saves wrote "no record"; anything outside the lists is no record either.
    const uint32_t index = getU32(disk.rankingRecord);
    record.rankingIndex = index != 0 && index < kRankingRecordCount ? index : kNoRankingRecord;
    for (std::size_t i = 0; i < kResultReservedBytes; ++i) {
        record.reserved[i] = disk.reserved[i];
    }
    return record;
}

bool serializeDungeonSetting(Orvex::Serialization::OxSerializer& serializer, CDungeonSetting& record) {
    return serializeRecord<CDungeonSettingDisk>(serializer, record);
}

bool serializePathSetting(Orvex::Serialization::OxSerializer& serializer, CPathSetting& record) {
    return serializeRecord<CPathSettingDisk>(serializer, record);
}

bool serializeWorldMapSetting(Orvex::Serialization::OxSerializer& serializer, CWorldMapSetting& record) {
    return serializeRecord<CWorldMapSettingDisk>(serializer, record);
}

bool serializeResultSetting(Orvex::Serialization::OxSerializer& serializer, CResultSetting& record) {
    return serializeRecord<CResultSettingDisk>(serializer, record);
}

}  // namespace Fenwarrow
