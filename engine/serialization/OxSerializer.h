#pragma once
// The byte stream through which every persistent object is saved and restored.
//
// The stream carries no header, tags or padding: a record is exactly the sequence of primitive
// calls its serialize makes, written and read in the same order. Values are little-endian.
//
// Reading is defensive, since saves and replays come from disk and may be truncated or edited:
// a read that would pass the end of the buffer takes nothing, stores 0 (or an empty value) in
// its destination and sets a sticky read-failed flag; every later read then fails the same way,
// so a record's serialize only needs to look at the flag (or the results) at its end. Counted
// lists are checked against the bytes left before anything is allocated for them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Orvex::Serialization {

class OxSerializer {
public:
    // Empty and writing.
    OxSerializer();
    OxSerializer(const OxSerializer& other);
    OxSerializer& operator=(const OxSerializer& other);
    virtual ~OxSerializer();

    // Empties the buffer and starts writing.
    virtual void clear();
    // Reading rewinds to the first byte; writing also empties the buffer. Either way the
    // read-failed flag is cleared.
    virtual void setWriting(bool writing);
    // Writing: bytes written. Reading: the read cursor.
    virtual uint32_t getPosition() const;
    // Copies the other's bytes, direction and read-failed flag; the cursor becomes the other's
    // position.
    virtual OxSerializer& assign(const OxSerializer& other);

    bool isWriting() const { return writing_; }
    bool hasReadFailed() const { return readFailed_; }
    // Bytes between the read cursor and the end of the buffer (0 while writing).
    uint32_t getRemaining() const;

    // The save container scrambles the bytes in place and appends decoded bytes directly.
    std::vector<uint8_t>& getBuffer() { return buffer_; }
    const std::vector<uint8_t>& getBuffer() const { return buffer_; }

    // Each read returns false, and leaves 0 / empty in its destination, when the stream is
    // already failed, when the serializer is writing, or when the bytes are not there.
    void writeByte(uint8_t value);
    bool readByte(uint8_t& value);

    void write16(uint16_t value);

    // Integers and floats alike travel as their 4-byte pattern, least significant byte first.
    void write32(uint32_t value);
    void write32(int32_t value);
    void write32(float value);
    bool read32(uint32_t& value);
    bool read32(int32_t& value);
    bool read32(float& value);

    // Raw blocks: fixed-layout records of a declared size, byte for byte.
    void write16Bytes(const void* data);
    bool read16Bytes(void* data);
    void writeBlock(const void* data, size_t size);
    bool readBlock(void* data, size_t size);
    // The next size bytes in place, for a reader that decodes many records at once; the cursor
    // moves past them. Null (and the stream failed) when they are not there. The pointer is
    // valid until the buffer changes.
    const uint8_t* readBytesInPlace(size_t size);

    // Narrow string: its bytes then one 0 byte. A string holding a 0 byte is written only up to
    // it, so the stream stays readable field by field.
    void writeString(const std::string& value);
    bool readString(std::string& value);
    bool serializeString(std::string& value);

    // Wide string: UTF-16 code units low byte first, then a 16-bit 0 (same rule for a 0 unit).
    void writeWString(const std::u16string& value);
    bool readWString(std::u16string& value);
    bool serializeWString(std::u16string& value);

    // A 32-bit count, then one byte per element (1 true, 0 false).
    bool serializeBoolVector(std::vector<bool>& value);

    // Reads the 32-bit count of a list whose elements take at least minElementBytes each
    // (at least 1 is assumed). A count that the bytes left cannot hold is refused, so a damaged
    // count never leads to a large allocation. Use it before resizing any list being read.
    bool readCount(uint32_t& count, uint32_t minElementBytes);

private:
    // True when size bytes can be read at the cursor; otherwise marks the stream failed.
    bool canRead(size_t size);
    bool fail();

    std::vector<uint8_t> buffer_;
    bool writing_ = true;
    uint32_t cursor_ = 0;
    bool readFailed_ = false;
};

}  // namespace Orvex::Serialization
