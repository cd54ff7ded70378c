#pragma once
// The engine's byte-stream interfaces. Results are false or 0 when the stream is not open.
// Positions and sizes are 32-bit: no engine file or archive entry reaches 4 GiB.
#include <cstdint>
#include <string>
#include <vector>

namespace Orvex::IO::StreamIO {

using ByteVector = std::vector<uint8_t>;

class IOrvexStreamReader {
public:
    virtual ~IOrvexStreamReader() = default;

    virtual bool open(const std::u16string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual std::u16string getFileName() const = 0;
    virtual uint32_t getSize() = 0;
    // count 0 reads the whole size. The vector ends up holding exactly the bytes read; the
    // result is false when fewer than asked arrived.
    virtual bool readToVector(ByteVector& out, uint32_t count = 0, uint32_t* outCount = nullptr) = 0;
    virtual bool readBytes(void* buffer, uint32_t count, uint32_t* outCount = nullptr) {
        return read(buffer, count, outCount);
    }
    // outCount may be null.
    virtual bool read(void* buffer, uint32_t count, uint32_t* outCount = nullptr) = 0;
    virtual bool seek(uint32_t position) = 0;  // from the start
    virtual bool tell(uint32_t& position) = 0;
    virtual bool skip(int32_t delta) = 0;  // from the current position
    virtual bool rewind() = 0;
    virtual bool seekToEnd() = 0;
};

class IOrvexStreamWriter {
public:
    virtual ~IOrvexStreamWriter() = default;

    virtual bool open(const std::u16string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual uint32_t getSize() = 0;
    // count 0 writes the whole vector, else the smaller of count and its size.
    virtual bool writeFromVector(const ByteVector& in, uint32_t count = 0, uint32_t* outCount = nullptr) = 0;
    virtual bool writeBytes(const void* buffer, uint32_t count, uint32_t* outCount = nullptr) {
        return write(buffer, count, outCount);
    }
    // True only when every byte was written.
    virtual bool write(const void* buffer, uint32_t count, uint32_t* outCount = nullptr) = 0;
    virtual bool seek(uint32_t position) = 0;
    virtual bool tell(uint32_t& position) = 0;
    virtual bool skip(int32_t delta) = 0;
    virtual bool rewind() = 0;
    virtual bool seekToEnd() = 0;
};

// Both directions over one position; the shared operations are declared once here so that
// calls through this interface are not ambiguous.
class IOrvexStreamIO : public IOrvexStreamReader, public IOrvexStreamWriter {
public:
    bool open(const std::u16string& path) override = 0;
    void close() override = 0;
    bool isOpen() const override = 0;
    uint32_t getSize() override = 0;
    bool seek(uint32_t position) override = 0;
    bool tell(uint32_t& position) override = 0;
    bool skip(int32_t delta) override = 0;
    bool rewind() override = 0;
    bool seekToEnd() override = 0;
};

}  // namespace Orvex::IO::StreamIO
