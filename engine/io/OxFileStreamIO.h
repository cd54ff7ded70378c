#pragma once
// A byte stream over one OS file.
//
// `open` takes existing files only (callers create them first with createEmptyFile) and opens
// them for reading and writing; a file that is read-only on disk (installed data) is opened
// for reading only, and writes to it then fail. The OS has no share modes here: other opens of
// the same file are never refused, and nothing in the engine relies on them being refused.
#include <memory>
#include <string>

#include "engine/io/OxStreamIO.h"

namespace Orvex::IO::StreamIO {

class OxFileStreamIO : public IOrvexStreamIO {
public:
    OxFileStreamIO() = default;
    OxFileStreamIO(const OxFileStreamIO&) = delete;
    OxFileStreamIO& operator=(const OxFileStreamIO&) = delete;
    ~OxFileStreamIO() override;

    bool open(const std::u16string& path) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    std::u16string getFileName() const override { return fileName_; }
    // The size saturates at 0xFFFFFFFF; 0 when it cannot be read.
    uint32_t getSize() override;

    bool readToVector(ByteVector& out, uint32_t count = 0, uint32_t* outCount = nullptr) override;
    // True when at least one byte was read; short only at the end of the file.
    bool read(void* buffer, uint32_t count, uint32_t* outCount = nullptr) override;

    bool writeFromVector(const ByteVector& in, uint32_t count = 0, uint32_t* outCount = nullptr) override;
    bool write(const void* buffer, uint32_t count, uint32_t* outCount = nullptr) override;

    bool seek(uint32_t position) override;
    bool tell(uint32_t& position) override;
    bool skip(int32_t delta) override;
    bool rewind() override;
    bool seekToEnd() override;

    std::shared_ptr<OxFileStreamIO> openNew() const;
    bool createEmptyFile(const std::u16string& path) const;
    bool remove(const std::u16string& path) const;

    // A wide string is stored as UTF-16LE code units followed by a 0 unit when terminated.
    // readWString takes the units up to the first 0 unit (or the end of the file) and leaves
    // the position just after that terminator; false when neither a unit nor a terminator was
    // there to read.
    bool readWString(std::u16string& out);
    // Writes 2 x (length + 1 when terminated) bytes; true only when all of them were written.
    bool writeWString(const std::u16string& text, bool withTerminator);

    // Cuts the file at the current position.
    // Pushes what was written to the disk.
    bool sync();
    bool truncate();

private:
    bool seekTo(int64_t offset, int whence, int64_t* resulting = nullptr);

    std::u16string fileName_;
    int fd_ = -1;
};

}  // namespace Orvex::IO::StreamIO
