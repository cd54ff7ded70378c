#pragma once
// Writes packed archives for the engine's archive reader (format in engine/io/OxArchiveFormat.h).
//
// Entries keep the order given; entry data follow the directory in that order. Names use
// backslash separators ('/' is turned into one) and must fit the directory's 64 UTF-16 units.
// Names are stored as given: the reader lower-cases them itself when asked to.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/io/OxArchiveFormat.h"

namespace Orvex::Packer {

struct PackerEntry {
    std::u16string name;
    std::vector<uint8_t> data;
    bool preload = false;
};

struct PackerOptions {
    bool scramble = true;
    uint8_t keyByte = FileArchiver::kArchiveOpenerKey;
};

// A UTF-8 name made into an entry name; false with a message when it is empty, cannot be
// converted or does not fit the directory.
bool makeEntryName(std::string_view utf8Name, std::u16string& name, std::string& error);

// '*' matches any run of characters (separators included), '?' one character; ASCII letters
// match either case.
bool matchesPattern(std::u16string_view name, std::u16string_view pattern);

// The archive image in memory. False with a message for a bad name, more than 65535 entries or
// an image that would pass 4 GiB.
bool buildArchive(const std::vector<PackerEntry>& entries, const PackerOptions& options, std::vector<uint8_t>& image,
                  std::string& error);
bool writeArchive(const std::filesystem::path& file, const std::vector<PackerEntry>& entries,
                  const PackerOptions& options, std::string& error);

// Every regular file below root, named by its path relative to root, in name order. Entries
// whose name matches one of the patterns are preloaded.
bool collectFolder(const std::filesystem::path& root, const std::vector<std::u16string>& preloadPatterns,
                   std::vector<PackerEntry>& entries, std::string& error);

// A list file: one entry a line, "entry name<TAB>source file"; blank lines and lines starting
// with '#' are skipped; relative sources are found from the list file's folder.
bool collectList(const std::filesystem::path& listFile, const std::vector<std::u16string>& preloadPatterns,
                 std::vector<PackerEntry>& entries, std::string& error);

}  // namespace Orvex::Packer
