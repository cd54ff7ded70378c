// orvex-pack: builds one packed archive from a folder or a list file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "tools/packer/OxArchivePacker.h"

namespace {

constexpr const char* kUsage =
    "usage: orvex-pack -o ARCHIVE (-d FOLDER | -l LIST) [-p PATTERN]... [--plain] [--key N]\n"
    "  -o ARCHIVE   the archive file to write\n"
    "  -d FOLDER    pack every file below FOLDER, named by its relative path\n"
    "  -l LIST      pack the files of LIST: one \"entry name<TAB>source file\" a line\n"
    "  -p PATTERN   preload entries whose name matches PATTERN ('*', '?'; repeatable)\n"
    "  --plain      do not scramble (scrambling is on by default)\n"
    "  --key N      the opener's key byte (0-255; default: the game's)\n";

int usage(const char* problem) {
    std::fprintf(stderr, "orvex-pack: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string output;
    std::string folder;
    std::string list;
    std::vector<std::u16string> patterns;
    Orvex::Packer::PackerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--plain") {
            options.scramble = false;
        } else if (!hasValue) {
            return usage(("missing value or unknown option: " + arg).c_str());
        } else if (arg == "-o") {
            output = argv[++i];
        } else if (arg == "-d") {
            folder = argv[++i];
        } else if (arg == "-l") {
            list = argv[++i];
        } else if (arg == "-p") {
            std::u16string pattern;
            if (!Orvex::System::toWideString(argv[++i], pattern)) {
                return usage("a preload pattern is not valid UTF-8");
            }
            patterns.push_back(pattern);
        } else if (arg == "--key") {
            char* end = nullptr;
            const long key = std::strtol(argv[++i], &end, 0);
            if (end == argv[i] || *end != '\0' || key < 0 || key > 255) {
                return usage("--key takes a number from 0 to 255");
            }
            options.keyByte = static_cast<uint8_t>(key);
        } else {
            return usage(("unknown option: " + arg).c_str());
        }
    }
    if (output.empty() || folder.empty() == list.empty()) {
        return usage("give -o and exactly one of -d and -l");
    }

    std::vector<Orvex::Packer::PackerEntry> entries;
    std::string error;
    const bool collected = folder.empty() ? Orvex::Packer::collectList(list, patterns, entries, error)
                                          : Orvex::Packer::collectFolder(folder, patterns, entries, error);
    if (!collected || !Orvex::Packer::writeArchive(output, entries, options, error)) {
        std::fprintf(stderr, "orvex-pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
