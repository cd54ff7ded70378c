#pragma once
// The one file format of everything the game keeps for later (the common and suspend saves,
// replay chunks and replay files): a scrambled 16-byte header, then the bytes of a serializer,
// scrambled, zlib-compressed and expanded into self-checking pairs of 16-bit words.
//
// The container knows nothing of what the bytes mean; the serializers that fill them decide.
// Every operation reports failure by returning false and never throws.
//
// A file is written beside its final name and renamed over it only once it is complete and on
// disk, so a crash or a full disk in the middle of a save leaves the previous file as it was.
// Reading refuses a file that would expand beyond kMaxDataBytes, so a forged or damaged body
// cannot make the game allocate without bound.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Orvex::Serialization {
class OxSerializer;
}

namespace Fenwarrow {

class CSaveDataController {
public:
    static constexpr std::size_t kHeaderBytes = 16;
    static constexpr uint8_t kScrambleKey = 0xB5;
    static constexpr uint8_t kOldVersion = 0;
    static constexpr uint8_t kCurrentVersion = 1;
    // Far above any save or replay the game writes (a replay frame is 100 bytes).
    static constexpr std::size_t kMaxDataBytes = std::size_t{256} << 20;

    using Header = std::array<uint8_t, kHeaderBytes>;

    CSaveDataController() = default;
    CSaveDataController(const CSaveDataController&) = delete;
    CSaveDataController& operator=(const CSaveDataController&) = delete;
    virtual ~CSaveDataController() = default;

    // "HERO", the current version, the low byte of the system clock, ten zero bytes.
    bool prepareHeader();

    // Writes the header and the serializer's bytes as a container file at path, replacing the
    // file there only when the whole new file has been written. The serializer is not changed.
    bool writeContainer(const Orvex::Serialization::OxSerializer& data, const std::u16string& path);

    // Reads the container file at path: the header into getHeader(), the unscrambled bytes into
    // data, which is left reading at its first byte. The magic is not checked here. A file of
    // the old format (version 0) is refused: getFormatVersion() then tells it apart and the
    // caller hands the file to the old-format reader (COldSaveDataController). After a failure
    // data holds nothing and getLastError() says which check refused the file.
    bool readContainer(Orvex::Serialization::OxSerializer& data, const std::u16string& path);

    // True when the file's first 16 bytes, unscrambled, start with "HERO" and version 1.
    static bool isValidSaveFile(const std::u16string& path);
    // The same test of the header last prepared or read.
    bool hasValidHeader() const;

    static void scrambleBytes(uint8_t* bytes, std::size_t count);

    // The plain header of the file last prepared or read.
    const Header& getHeader() const { return header_; }
    uint8_t getFormatVersion() const { return header_[4]; }
    // Why the last read refused its file (without the file's name); empty after a success.
    const std::string& getLastError() const { return lastError_; }

private:
    bool refuse(std::string reason);

    Header header_{};
    std::string lastError_;
};

}  // namespace Fenwarrow
