#include "tests/smoke/ArchiveImage.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace SmokeTest {

namespace fs = std::filesystem;
namespace Fa = Orvex::FileArchiver;

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

ArchiveImage readArchive(const fs::path& path) {
    const std::vector<uint8_t> bytes = readFile(path);
    ArchiveImage image;
    if (bytes.size() < Fa::kArchiveHeaderSize) {
        return image;
    }
    Fa::OxArchiveHeaderDisk headerDisk;
    std::copy_n(bytes.begin(), sizeof headerDisk, reinterpret_cast<uint8_t*>(&headerDisk));
    const Fa::OxArchiveHeader header = Fa::decodeHeader(headerDisk);
    image.scrambled = (header.flags & Fa::kArchiveFlagScrambled) != 0;
    image.directoryEnd = Fa::kArchiveHeaderSize + size_t(header.entryCount) * Fa::kArchiveRecordSize;
    for (uint32_t i = 0; i < header.entryCount; ++i) {
        Fa::OxArchiveRecordDisk disk;
        std::copy_n(bytes.begin() + std::ptrdiff_t(Fa::kArchiveHeaderSize + i * Fa::kArchiveRecordSize), sizeof disk,
                    reinterpret_cast<uint8_t*>(&disk));
        if (image.scrambled) {
            Fa::scrambleBytes(reinterpret_cast<uint8_t*>(&disk), sizeof disk, Fa::kArchiveOpenerKey);
        }
        const Fa::OxArchiveRecord record = Fa::decodeRecord(disk);
        Orvex::Packer::PackerEntry entry;
        entry.name = record.nameString();
        entry.preload = (record.flags & Fa::kEntryFlagPreload) != 0;
        entry.data.assign(bytes.begin() + record.offset, bytes.begin() + record.offset + record.size);
        if (image.scrambled) {
            Fa::scrambleBytes(entry.data.data(), entry.data.size(), Fa::kArchiveOpenerKey);
        }
        image.entries.push_back(std::move(entry));
    }
    return image;
}

std::string addToPatchArchive(const std::filesystem::path& runFolder,
                              const std::vector<std::pair<std::u16string, std::filesystem::path>>& chunks) {
    const std::filesystem::path archive = runFolder / "d900.bin";
    ArchiveImage patch = readArchive(archive);
    if (patch.entries.empty()) {
        return archive.string() + ": no entries could be read";
    }
    for (const auto& [name, file] : chunks) {
        Orvex::Packer::PackerEntry entry;
        entry.name = name;
        entry.data = readFile(file);
        if (entry.data.empty()) {
            return file.string() + ": empty or missing";
        }
        patch.entries.push_back(std::move(entry));
    }
    Orvex::Packer::PackerOptions options;
    options.scramble = patch.scrambled;
    std::string error;
    return Orvex::Packer::writeArchive(archive, patch.entries, options, error) ? std::string() : error;
}

std::vector<std::pair<std::u16string, std::filesystem::path>> demoFloorChunks(const std::filesystem::path& folder,
                                                                              const std::vector<std::string>& scripts) {
    std::vector<std::pair<std::u16string, std::filesystem::path>> chunks;
    for (const std::string& script : scripts) {
        chunks.emplace_back(u"Dungeon\\DEMO10\\00\\00\\" + std::u16string(script.begin(), script.end()) + u".lua.lcd",
                            folder / (script + ".lcd"));
    }
    return chunks;
}

}  // namespace SmokeTest
