#include "tools/packer/OxArchivePacker.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "engine/system/OxStringConvert.h"

namespace Orvex::Packer {
namespace {

using namespace Orvex::FileArchiver;

char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c; }

bool checkEntryName(const std::u16string& name, std::string& error) {
    const std::string shown = System::narrow(name);
    if (name.empty()) {
        error = "an entry has an empty name";
        return false;
    }
    if (name.find(u'\0') != std::u16string::npos) {
        error = "the entry name \"" + shown + "\" contains a NUL character";
        return false;
    }
    if (name.size() > kArchiveNameUnits) {
        error = "the entry name \"" + shown + "\" is " + std::to_string(name.size()) + " UTF-16 units long; at most " +
                std::to_string(kArchiveNameUnits) + " fit";
        return false;
    }
    return true;
}

bool readWholeFile(const std::filesystem::path& file, std::vector<uint8_t>& data, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read \"" + file.string() + "\"";
        return false;
    }
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read \"" + file.string() + "\"";
        return false;
    }
    return true;
}

bool isPreloaded(const std::u16string& name, const std::vector<std::u16string>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::u16string& pattern) { return matchesPattern(name, pattern); });
}

}  // namespace

bool makeEntryName(std::string_view utf8Name, std::u16string& name, std::string& error) {
    std::u16string wide;
    if (!System::toWideString(std::string(utf8Name), wide)) {
        error = "the entry name \"" + std::string(utf8Name) + "\" is not valid UTF-8";
        return false;
    }
    std::replace(wide.begin(), wide.end(), u'/', u'\\');
    if (!checkEntryName(wide, error)) {
        return false;
    }
    name = std::move(wide);
    return true;
}

bool matchesPattern(std::u16string_view name, std::u16string_view pattern) {
    // Iterative glob with one backtrack point for the last '*'.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::u16string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

bool buildArchive(const std::vector<PackerEntry>& entries, const PackerOptions& options, std::vector<uint8_t>& image,
                  std::string& error) {
    if (entries.size() > kArchiveMaxEntries) {
        error = std::to_string(entries.size()) + " entries do not fit one archive (at most " +
                std::to_string(kArchiveMaxEntries) + ")";
        return false;
    }
    uint64_t total = kArchiveHeaderSize + entries.size() * kArchiveRecordSize;
    for (const PackerEntry& entry : entries) {
        std::u16string normalised = entry.name;
        std::replace(normalised.begin(), normalised.end(), u'/', u'\\');
        if (!checkEntryName(normalised, error)) {
            return false;
        }
        total += entry.data.size();
    }
    if (total > std::numeric_limits<uint32_t>::max()) {
        error = "the archive would be larger than 4 GiB";
        return false;
    }

    std::vector<uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    OxArchiveHeader header;
    header.magic = archiveMagicWord();
    header.version = kArchiveVersion;
    header.entryCount = static_cast<uint32_t>(entries.size());
    header.flags = options.scramble ? kArchiveFlagScrambled : 0;
    const OxArchiveHeaderDisk headerDisk = encodeHeader(header);
    const auto* headerBytes = reinterpret_cast<const uint8_t*>(&headerDisk);
    out.insert(out.end(), headerBytes, headerBytes + sizeof headerDisk);

    auto offset = static_cast<uint32_t>(kArchiveHeaderSize + entries.size() * kArchiveRecordSize);
    for (const PackerEntry& entry : entries) {
        OxArchiveRecord record;
        record.size = static_cast<uint32_t>(entry.data.size());
        record.offset = offset;
        record.flags = entry.preload ? kEntryFlagPreload : 0;
        for (std::size_t i = 0; i < entry.name.size(); ++i) {
            record.name[i] = entry.name[i] == u'/' ? u'\\' : entry.name[i];
        }
        OxArchiveRecordDisk disk = encodeRecord(record);
        auto* recordBytes = reinterpret_cast<uint8_t*>(&disk);
        if (options.scramble) {
            scrambleBytes(recordBytes, sizeof disk, options.keyByte);
        }
        out.insert(out.end(), recordBytes, recordBytes + sizeof disk);
        offset += record.size;
    }
    for (const PackerEntry& entry : entries) {
        const std::size_t at = out.size();
        out.insert(out.end(), entry.data.begin(), entry.data.end());
        if (options.scramble) {
            scrambleBytes(out.data() + at, entry.data.size(), options.keyByte);
        }
    }
    image = std::move(out);
    return true;
}

bool writeArchive(const std::filesystem::path& file, const std::vector<PackerEntry>& entries,
                  const PackerOptions& options, std::string& error) {
    std::vector<uint8_t> image;
    if (!buildArchive(entries, options, image, error)) {
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        error = "cannot write \"" + file.string() + "\"";
        return false;
    }
    return true;
}

bool collectFolder(const std::filesystem::path& root, const std::vector<std::u16string>& preloadPatterns,
                   std::vector<PackerEntry>& entries, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) {
        error = "\"" + root.string() + "\" is not a folder";
        return false;
    }
    std::vector<std::filesystem::path> files;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec)) {
            files.push_back(it->path());
        }
    }
    if (ec) {
        error = "cannot list \"" + root.string() + "\": " + ec.message();
        return false;
    }
    std::vector<PackerEntry> collected;
    for (const auto& file : files) {
        PackerEntry entry;
        if (!makeEntryName(file.lexically_relative(root).generic_string(), entry.name, error) ||
            !readWholeFile(file, entry.data, error)) {
            return false;
        }
        entry.preload = isPreloaded(entry.name, preloadPatterns);
        collected.push_back(std::move(entry));
    }
    std::sort(collected.begin(), collected.end(),
              [](const PackerEntry& a, const PackerEntry& b) { return a.name < b.name; });
    entries.insert(entries.end(), std::make_move_iterator(collected.begin()), std::make_move_iterator(collected.end()));
    return true;
}

bool collectList(const std::filesystem::path& listFile, const std::vector<std::u16string>& preloadPatterns,
                 std::vector<PackerEntry>& entries, std::string& error) {
    std::ifstream in(listFile);
    if (!in) {
        error = "cannot read the list \"" + listFile.string() + "\"";
        return false;
    }
    const std::filesystem::path folder = listFile.parent_path();
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            error = listFile.string() + ":" + std::to_string(lineNumber) + ": expected \"entry name<TAB>source file\"";
            return false;
        }
        PackerEntry entry;
        if (!makeEntryName(line.substr(0, tab), entry.name, error)) {
            error = listFile.string() + ":" + std::to_string(lineNumber) + ": " + error;
            return false;
        }
        const std::filesystem::path source(line.substr(tab + 1));
        if (!readWholeFile(source.is_absolute() ? source : folder / source, entry.data, error)) {
            error = listFile.string() + ":" + std::to_string(lineNumber) + ": " + error;
            return false;
        }
        entry.preload = isPreloaded(entry.name, preloadPatterns);
        entries.push_back(std::move(entry));
    }
    return true;
}

}  // namespace Orvex::Packer
