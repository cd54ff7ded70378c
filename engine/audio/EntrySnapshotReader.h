#pragma once
// A stream reader over a copy of one file taken from another reader.
//
// A streamed source decodes on its own thread, but the archive readers tie an open entry to the
// thread that opened it. The source therefore copies the compressed entry once, on the thread
// that creates it, and decodes from the copy; the archive entry is closed at once.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/io/OxStreamIO.h"

namespace Orvex::AudioSystem::Vorbis {

class EntrySnapshotReader : public IO::StreamIO::IOrvexStreamReader {
public:
    // Copies the whole entry name of source (opened and closed here). False when it cannot be
    // opened or read completely.
    bool take(const std::u16string& name, IO::StreamIO::IOrvexStreamReader& source);

    // Opens the copy when name is the one taken.
    bool open(const std::u16string& path) override;
    // Closes and frees the copy.
    void close() override;
    bool isOpen() const override { return open_; }
    std::u16string getFileName() const override { return open_ ? name_ : std::u16string(); }
    uint32_t getSize() override { return open_ ? static_cast<uint32_t>(data_.size()) : 0; }
    bool readToVector(IO::StreamIO::ByteVector& out, uint32_t count = 0, uint32_t* outCount = nullptr) override;
    bool read(void* buffer, uint32_t count, uint32_t* outCount = nullptr) override;
    bool seek(uint32_t position) override;
    bool tell(uint32_t& position) override;
    bool skip(int32_t delta) override;
    bool rewind() override { return seek(0); }
    bool seekToEnd() override { return seek(getSize()); }

private:
    std::u16string name_;
    IO::StreamIO::ByteVector data_;
    uint32_t position_ = 0;
    bool open_ = false;
};

}  // namespace Orvex::AudioSystem::Vorbis
