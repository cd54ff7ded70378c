#include "engine/io/OxArchiveData.h"

#include <algorithm>
#include <cstring>

#include "engine/system/OxWideFormat.h"

namespace Orvex::FileArchiver {

OxArchiveData::OxArchiveData(std::shared_ptr<IO::StreamIO::IOrvexStreamReader> stream) : stream_(std::move(stream)) {}

OxArchiveData::~OxArchiveData() = default;

void OxArchiveData::setOptions(uint8_t keyByte, bool lowerCaseNames) {
    keyByte_ = keyByte;
    lowerCaseNames_ = lowerCaseNames;
}

bool OxArchiveData::fail(const std::u16string& what) {
    // The caller reports the failure (getLastError): one report, not one per layer.
    lastError_ = path_ + u": " + what;
    return false;
}

bool OxArchiveData::open(const std::u16string& path) {
    path_ = path;
    lastError_.clear();
    if (!stream_ || !stream_->open(path)) {
        return fail(u"the archive cannot be opened");
    }
    fileSize_ = stream_->getSize();
    return readHeader() && readDirectory() && preload();
}

bool OxArchiveData::readExactly(void* buffer, uint32_t count) {
    uint32_t got = 0;
    return stream_->read(buffer, count, &got) && got == count;
}

bool OxArchiveData::readHeader() {
    OxArchiveHeaderDisk disk{};
    if (!readExactly(&disk, sizeof disk)) {
        return fail(System::formatWide(u"the header is truncated (the file has %u bytes, the header needs %u)",
                                       fileSize_, static_cast<uint32_t>(sizeof disk)));
    }
    const OxArchiveHeader header = decodeHeader(disk);
    if (header.magic != archiveMagicWord()) {
        return fail(u"not a packed archive (wrong magic)");
    }
    if (header.version != kArchiveVersion) {
        return fail(System::formatWide(u"unsupported archive version %u", header.version));
    }
    if (header.entryCount > kArchiveMaxEntries) {
        return fail(System::formatWide(u"the header claims %u entries, at most %u are allowed", header.entryCount,
                                       kArchiveMaxEntries));
    }
    header_ = header;
    return true;
}

bool OxArchiveData::readDirectory() {
    const uint64_t directoryEnd = kArchiveHeaderSize + uint64_t{header_.entryCount} * kArchiveRecordSize;
    // Checked before anything is allocated for the entries, so a hostile count costs nothing.
    if (directoryEnd > fileSize_) {
        return fail(System::formatWide(u"the directory is truncated (%u entries need %u bytes, the file has %u)",
                                       header_.entryCount, directoryEnd, fileSize_));
    }
    const bool scrambled = (header_.flags & kArchiveFlagScrambled) != 0;
    entries_.reserve(static_cast<int32_t>(header_.entryCount));
    for (uint32_t i = 0; i < header_.entryCount; ++i) {
        OxArchiveRecordDisk disk{};
        if (!readExactly(&disk, sizeof disk)) {
            return fail(System::formatWide(u"the directory is truncated at record %u", i));
        }
        if (scrambled) {
            scrambleBytes(reinterpret_cast<uint8_t*>(&disk), sizeof disk, keyByte_);
        }
        OxArchiveRecord record = decodeRecord(disk);
        std::u16string key = record.nameString();
        if (uint64_t{record.offset} + record.size > fileSize_) {
            return fail(System::formatWide(u"the entry \"%s\" lies outside the file (offset %u, size %u, file size %u)",
                                           key, record.offset, record.size, fileSize_));
        }
        if (lowerCaseNames_) {
            for (char16_t& unit : record.name) {
                unit = lowerCaseNameUnit(unit);
            }
            lowerCaseName(key);
        }
        // A later record with the same name replaces the earlier one.
        entries_.insertOrAssign(key, PackedData{record, {}, 0});
    }
    return true;
}

bool OxArchiveData::preload() {
    for (auto& node : entries_) {
        PackedData& entry = node.value;
        if ((entry.record.flags & kEntryFlagPreload) == 0 || entry.record.size == 0) {
            continue;
        }
        if (!stream_->seek(entry.record.offset)) {
            return fail(System::formatWide(u"the entry \"%s\" cannot be reached for preloading", node.key));
        }
        // The size was checked against the file's length, so this allocation is bounded.
        IO::StreamIO::ByteVector bytes(entry.record.size);
        uint32_t total = 0;
        while (total < entry.record.size) {
            uint32_t got = 0;
            if (!readFromFile(entry, bytes.data() + total, entry.record.size - total, &got)) {
                break;
            }
            total += got;
        }
        if (total != entry.record.size) {
            return fail(System::formatWide(u"the entry \"%s\" is truncated (read %u of %u bytes)", node.key, total,
                                           entry.record.size));
        }
        entry.data = std::move(bytes);
        entry.cursor = 0;
    }
    return true;
}

bool OxArchiveData::select(const std::u16string& name) {
    PackedData* entry = entries_.find(name);
    if (entry == nullptr) {
        return false;
    }
    if (entry->isPreloaded()) {
        entry->cursor = 0;
    } else if (!stream_->seek(entry->record.offset)) {
        return false;
    }
    current_ = entry;
    return true;
}

bool OxArchiveData::readFromFile(const PackedData& entry, void* buffer, uint32_t count, uint32_t* outCount) {
    uint32_t position = 0;
    if (!stream_->tell(position)) {
        return false;
    }
    const uint64_t end = uint64_t{entry.record.offset} + entry.record.size;
    if (position < entry.record.offset || position >= end) {
        return false;
    }
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(count, end - position));
    uint32_t got = 0;
    if (!stream_->read(buffer, n, &got) || got == 0) {
        return false;
    }
    if ((header_.flags & kArchiveFlagScrambled) != 0) {
        scrambleBytes(static_cast<uint8_t*>(buffer), got, keyByte_);
    }
    if (outCount != nullptr) {
        *outCount = got;
    }
    return true;
}

bool OxArchiveData::readEntry(void* buffer, uint32_t count, uint32_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (current_ == nullptr || buffer == nullptr) {
        return false;
    }
    if (!current_->isPreloaded()) {
        return readFromFile(*current_, buffer, count, outCount);
    }
    const std::size_t left = current_->data.size() - std::min<std::size_t>(current_->cursor, current_->data.size());
    if (left == 0) {
        return false;
    }
    const auto n = static_cast<uint32_t>(std::min<std::size_t>(count, left));
    std::memcpy(buffer, current_->data.data() + current_->cursor, n);
    current_->cursor += n;
    if (outCount != nullptr) {
        *outCount = n;
    }
    return true;
}

bool OxArchiveData::seekEntry(uint32_t position) {
    if (current_ == nullptr || position > current_->record.size) {
        return false;
    }
    if (current_->isPreloaded()) {
        current_->cursor = position;
        return true;
    }
    return stream_->seek(current_->record.offset + position);
}

bool OxArchiveData::tellEntry(uint32_t& position) {
    if (current_ == nullptr) {
        return false;
    }
    if (current_->isPreloaded()) {
        position = current_->cursor;
        return true;
    }
    uint32_t filePosition = 0;
    if (!stream_->tell(filePosition) || filePosition < current_->record.offset) {
        return false;
    }
    position = filePosition - current_->record.offset;
    return true;
}

}  // namespace Orvex::FileArchiver
