// Feeds arbitrary bytes to the archive opener as one archive file, then opens and reads every
// entry the directory names. A bad archive must be refused with a message; an accepted one must
// never read outside an entry, crash, over-allocate or hand back a zero-filled tail.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/io/OxArchiveFormat.h"
#include "engine/io/OxPackedStreamReader.h"
#include "engine/system/OxStringConvert.h"
#include "platform/kernel/Process.h"

namespace {

using namespace Orvex::FileArchiver;

const std::string& nativePath() {
    static const std::string kPath =
        "/tmp/orvex-archive-fuzz-" + std::to_string(Platform::Kernel::processId()) + ".bin";
    return kPath;
}

std::u16string enginePath() {
    std::u16string wide = Orvex::System::widen(nativePath());
    for (char16_t& c : wide) {
        if (c == u'/') c = u'\\';
    }
    return wide;
}

void writeArchive(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(nativePath().c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) {
        std::abort();
    }
    std::fclose(file);
}

// The names the input's directory holds, decoded the way the reader does.
std::vector<std::u16string> directoryNames(const uint8_t* data, size_t size, uint8_t keyByte) {
    std::vector<std::u16string> names;
    if (size < kArchiveHeaderSize) {
        return names;
    }
    OxArchiveHeaderDisk headerDisk;
    std::copy(data, data + kArchiveHeaderSize, reinterpret_cast<uint8_t*>(&headerDisk));
    const OxArchiveHeader header = decodeHeader(headerDisk);
    for (size_t at = kArchiveHeaderSize; at + kArchiveRecordSize <= size && names.size() < 64;
         at += kArchiveRecordSize) {
        OxArchiveRecordDisk disk;
        std::copy(data + at, data + at + kArchiveRecordSize, reinterpret_cast<uint8_t*>(&disk));
        if ((header.flags & kArchiveFlagScrambled) != 0) {
            scrambleBytes(reinterpret_cast<uint8_t*>(&disk), sizeof disk, keyByte);
        }
        names.push_back(decodeRecord(disk).nameString());
    }
    return names;
}

void readEveryEntry(OxPackedStreamReader& reader, const std::vector<std::u16string>& names) {
    for (const std::u16string& name : names) {
        if (!reader.open(name)) {
            continue;
        }
        const uint32_t size = reader.getSize();
        std::vector<uint8_t> bytes;
        const bool whole = reader.readToVector(bytes);
        if (whole != (bytes.size() == size) || bytes.size() > size) {
            std::abort();
        }
        uint32_t position = 0;
        if (!reader.seek(size) || !reader.tell(position) || position != size || reader.seek(size + 1u)) {
            std::abort();
        }
        uint8_t byte = 0;
        if (reader.read(&byte, 1)) {
            std::abort();  // nothing lies past the end of an entry
        }
        reader.close();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeArchive(data, size);
    const std::vector<std::u16string> names = directoryNames(data, size, kArchiveOpenerKey);
    for (const uint8_t lowerCase : {uint8_t{0}, uint8_t{1}}) {
        OxPackedStreamReader reader;
        if (reader.openArchives({enginePath()}, OxArchiveOptions{kArchiveOpenerKey, lowerCase}) != 0) {
            if (reader.getLastError().empty()) {
                std::abort();  // a refusal must say why
            }
            continue;
        }
        readEveryEntry(reader, names);
    }
    // libFuzzer ends without running static destructors, so the scratch file goes each time.
    std::remove(nativePath().c_str());
    return 0;
}
