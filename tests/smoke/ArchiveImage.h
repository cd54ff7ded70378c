#pragma once
// Archives of the built sample data read back whole, for tests that damage or extend them.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "engine/io/OxArchiveFormat.h"
#include "tools/packer/OxArchivePacker.h"

namespace SmokeTest {

std::vector<uint8_t> readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// The entries of a well-formed archive, unscrambled, and where its directory ends.
struct ArchiveImage {
    bool scrambled = false;
    size_t directoryEnd = Orvex::FileArchiver::kArchiveHeaderSize;
    std::vector<Orvex::Packer::PackerEntry> entries;
};

ArchiveImage readArchive(const std::filesystem::path& path);

}  // namespace SmokeTest
