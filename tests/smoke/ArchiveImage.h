#pragma once
// Archives of the built sample data read back whole, for tests that damage or extend them.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
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

// Adds chunks to the patch archive "d900.bin" of a run folder, whose entries win over the other
// archives': each pair names the entry (as the archive spells it) and the file holding its bytes.
// Empty on success, else what went wrong.
std::string addToPatchArchive(const std::filesystem::path& runFolder,
                              const std::vector<std::pair<std::u16string, std::filesystem::path>>& chunks);

// The seeded floors' chunks of the demo dungeon ("Setup", "002", "003", as the smoke tests'
// CMakeLists builds them into `folder`) under their entry names.
std::vector<std::pair<std::u16string, std::filesystem::path>> demoFloorChunks(const std::filesystem::path& folder,
                                                                              const std::vector<std::string>& scripts);

}  // namespace SmokeTest
