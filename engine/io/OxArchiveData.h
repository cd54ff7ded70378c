#pragma once
// One packed archive file: its header, its directory as a sorted name map, and the entry that
// is currently selected for reading.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/io/OxArchiveFormat.h"
#include "engine/io/OxStreamIO.h"
#include "engine/system/binary_search_map.h"

namespace Orvex::FileArchiver {

class OxArchiveData {
public:
    struct PackedData {
        OxArchiveRecord record;
        IO::StreamIO::ByteVector data;  // the entry's bytes when preloaded, else empty
        uint32_t cursor = 0;            // read position inside data

        bool isPreloaded() const { return !data.empty(); }
    };

    explicit OxArchiveData(std::shared_ptr<IO::StreamIO::IOrvexStreamReader> stream);
    OxArchiveData(const OxArchiveData&) = delete;
    OxArchiveData& operator=(const OxArchiveData&) = delete;
    virtual ~OxArchiveData();

    void setOptions(uint8_t keyByte, bool lowerCaseNames);

    // Opens the stream on the absolute path and reads header, directory and preloaded
    // entries. A foreign, corrupt or truncated file is refused; getLastError then names the
    // file and what is wrong.
    bool open(const std::u16string& path);

    // Makes the entry stored under the name (already normalised) the current one.
    bool select(const std::u16string& name);
    void deselect() { current_ = nullptr; }
    const PackedData* current() const { return current_; }

    // Reads from the current entry at its position, never past its end; false at the end.
    bool readEntry(void* buffer, uint32_t count, uint32_t* outCount);

    // Positions inside the current entry's window, 0 to its size. Preloaded entries move their
    // cursor, so reads and positions always agree.
    bool seekEntry(uint32_t position);
    bool tellEntry(uint32_t& position);

    const OxArchiveHeader& getHeader() const { return header_; }
    int32_t getEntryCount() const { return entries_.count(); }
    const std::u16string& getLastError() const { return lastError_; }

private:
    bool readHeader();
    bool readDirectory();
    bool preload();
    bool readExactly(void* buffer, uint32_t count);
    bool readFromFile(const PackedData& entry, void* buffer, uint32_t count, uint32_t* outCount);
    bool fail(const std::u16string& what);

    std::shared_ptr<IO::StreamIO::IOrvexStreamReader> stream_;
    OxArchiveHeader header_;
    uint8_t keyByte_ = kArchiveOpenerKey;
    bool lowerCaseNames_ = false;
    System::binary_search_map<std::u16string, PackedData> entries_;
    PackedData* current_ = nullptr;
    std::u16string path_;
    uint32_t fileSize_ = 0;
    std::u16string lastError_;
};

}  // namespace Orvex::FileArchiver
