#pragma once
// The packed archive format, shared by the archive reader and the packer so the two can never
// disagree on a constant.
//
// Layout (all integers little-endian):
//   header     16 bytes at offset 0: magic "OFA0", version 1, entry count, flags
//   directory  entry count records of 148 bytes from offset 16:
//              2 reserved words, data size, data offset, flags, name (64 UTF-16LE units,
//              NUL-terminated when shorter, backslash separators)
//   data       each entry's bytes at [offset, offset + size), stored as they are
// With header flag bit 0, every directory record and every data byte is XOR-ed with one key
// byte, so any slice of an entry unscrambles by itself.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Orvex::FileArchiver {

inline constexpr std::array<uint8_t, 4> kArchiveMagic = {'O', 'F', 'A', '0'};
inline constexpr uint32_t kArchiveVersion = 1;
inline constexpr uint32_t kArchiveMaxEntries = 65535;
inline constexpr uint32_t kArchiveFlagScrambled = 0x1;
inline constexpr uint32_t kEntryFlagPreload = 0x1;
inline constexpr std::size_t kArchiveNameUnits = 64;

// The opener's key byte the game passes when it opens its archives, and the packer's default.
inline constexpr uint8_t kArchiveOpenerKey = 0x6B;
// The scrambling routine's own constant; the key is formed from both at run time, so a data
// file alone does not reveal it.
inline constexpr uint8_t kArchiveScrambleConstant = 0xA5;

// Result of a failed archive set-up.
inline constexpr uint32_t kArchiveOpenFailed = 0x80000008u;

// The option block given to the opener: the key byte and the lower-case-names flag.
struct OxArchiveOptions {
    uint8_t keyByte = kArchiveOpenerKey;
    uint8_t lowerCaseNames = 1;
};
static_assert(sizeof(OxArchiveOptions) == 2);

// The on-disk shapes: byte arrays only, so layout and byte order never depend on the compiler.
struct OxArchiveHeaderDisk {
    uint8_t magic[4];
    uint8_t version[4];
    uint8_t entryCount[4];
    uint8_t flags[4];
};
static_assert(sizeof(OxArchiveHeaderDisk) == 16);

struct OxArchiveRecordDisk {
    uint8_t reserved0[4];
    uint8_t reserved1[4];
    uint8_t size[4];
    uint8_t offset[4];
    uint8_t flags[4];
    uint8_t name[kArchiveNameUnits * 2];
};
static_assert(sizeof(OxArchiveRecordDisk) == 148);

inline constexpr std::size_t kArchiveHeaderSize = sizeof(OxArchiveHeaderDisk);
inline constexpr std::size_t kArchiveRecordSize = sizeof(OxArchiveRecordDisk);

// The in-memory forms.
struct OxArchiveHeader {
    uint32_t magic = 0;  // the four magic bytes read as a little-endian word
    uint32_t version = 0;
    uint32_t entryCount = 0;
    uint32_t flags = 0;
};

struct OxArchiveRecord {
    uint32_t reserved0 = 0;
    uint32_t reserved1 = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
    uint32_t flags = 0;
    std::array<char16_t, kArchiveNameUnits> name{};  // NUL-padded

    // The name up to its first NUL, at most 64 units.
    std::u16string nameString() const {
        std::size_t length = 0;
        while (length < name.size() && name[length] != u'\0') {
            ++length;
        }
        return std::u16string(name.data(), length);
    }
};

inline uint32_t loadLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline void storeLe32(uint8_t* bytes, uint32_t value) {
    bytes[0] = static_cast<uint8_t>(value);
    bytes[1] = static_cast<uint8_t>(value >> 8);
    bytes[2] = static_cast<uint8_t>(value >> 16);
    bytes[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t archiveMagicWord() { return loadLe32(kArchiveMagic.data()); }

inline OxArchiveHeader decodeHeader(const OxArchiveHeaderDisk& disk) {
    return {loadLe32(disk.magic), loadLe32(disk.version), loadLe32(disk.entryCount), loadLe32(disk.flags)};
}

inline OxArchiveHeaderDisk encodeHeader(const OxArchiveHeader& header) {
    OxArchiveHeaderDisk disk{};
    storeLe32(disk.magic, header.magic);
    storeLe32(disk.version, header.version);
    storeLe32(disk.entryCount, header.entryCount);
    storeLe32(disk.flags, header.flags);
    return disk;
}

inline OxArchiveRecord decodeRecord(const OxArchiveRecordDisk& disk) {
    OxArchiveRecord record;
    record.reserved0 = loadLe32(disk.reserved0);
    record.reserved1 = loadLe32(disk.reserved1);
    record.size = loadLe32(disk.size);
    record.offset = loadLe32(disk.offset);
    record.flags = loadLe32(disk.flags);
    for (std::size_t i = 0; i < kArchiveNameUnits; ++i) {
        record.name[i] = static_cast<char16_t>(disk.name[2 * i] | (disk.name[2 * i + 1] << 8));
    }
    return record;
}

inline OxArchiveRecordDisk encodeRecord(const OxArchiveRecord& record) {
    OxArchiveRecordDisk disk{};
    storeLe32(disk.reserved0, record.reserved0);
    storeLe32(disk.reserved1, record.reserved1);
    storeLe32(disk.size, record.size);
    storeLe32(disk.offset, record.offset);
    storeLe32(disk.flags, record.flags);
    for (std::size_t i = 0; i < kArchiveNameUnits; ++i) {
        disk.name[2 * i] = static_cast<uint8_t>(record.name[i]);
        disk.name[2 * i + 1] = static_cast<uint8_t>(record.name[i] >> 8);
    }
    return disk;
}

// XOR every byte with the key formed from the opener's key byte; applying it twice restores
// the bytes.
inline void scrambleBytes(uint8_t* bytes, std::size_t count, uint8_t openerKey) {
    const uint8_t key = static_cast<uint8_t>(openerKey ^ kArchiveScrambleConstant);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(bytes[i] ^ key);
    }
}

// The one lower-casing rule for archive names, used on directory names and on looked-up names
// alike so both sides always agree: ASCII and Latin-1 letters; everything else is kept.
inline char16_t lowerCaseNameUnit(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    return c;
}

inline void lowerCaseName(std::u16string& name) {
    for (char16_t& c : name) {
        c = lowerCaseNameUnit(c);
    }
}

}  // namespace Orvex::FileArchiver
