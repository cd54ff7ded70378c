#include "tools/fontbaker/CommandLine.h"

#include "tools/common/CommandLineArgs.h"
#include "tools/fontbaker/BakeError.h"
#include "tools/fontbaker/CharacterSet.h"

namespace Orvex::Tools::FontBaker {

const char* const kUsage =
    "usage: orvex-fontbaker --name NAME --output-root DIR [options]\n"
    "  writes DIR/NAME/NAME.fnt (binary font, version 3) and DIR/NAME/NAME_<i>.png\n"
    "  --family FAMILY       installed font family found through fontconfig (default IPAGothic)\n"
    "  --font-file PATH      font file to use instead of a family\n"
    "  --size PIXELS         em size in pixels, 4..256 (default 30)\n"
    "  --line-height PIXELS  line spacing (default: the face's own)\n"
    "  --page-size TEXELS    square page size, a power of two 64..4096 (default 512)\n"
    "  --chars TEXT          characters to bake (UTF-8)\n"
    "  --charset-file PATH   UTF-8 file listing characters to bake (line breaks ignored)\n"
    "  --no-ascii            do not add the printable ASCII characters\n";

namespace {

constexpr auto parseNumber = &parseNumberOption<BakeError>;

}  // namespace

BakeOptions parseCommandLine(const std::vector<std::string>& args) {
    BakeOptions options;
    std::vector<char32_t> listed;
    bool includeAscii = true;
    bool haveRoot = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--no-ascii") {
            includeAscii = false;
            continue;
        }
        const std::string& value = takeOptionValue<BakeError>(args, i);
        if (option == "--name") {
            options.name = value;
        } else if (option == "--output-root") {
            options.outputRoot = value;
            haveRoot = true;
        } else if (option == "--family") {
            options.family = value;
        } else if (option == "--font-file") {
            options.fontFile = value;
        } else if (option == "--size") {
            options.pixelSize = parseNumber(option, value);
        } else if (option == "--line-height") {
            options.lineHeight = parseNumber(option, value);
        } else if (option == "--page-size") {
            options.pageSize = parseNumber(option, value);
        } else if (option == "--chars") {
            const auto codes = decodeUtf8(value, "--chars");
            listed.insert(listed.end(), codes.begin(), codes.end());
        } else if (option == "--charset-file") {
            const auto codes = readCharacterFile(value);
            listed.insert(listed.end(), codes.begin(), codes.end());
        } else {
            throw BakeError("unknown option \"" + option + "\"");
        }
    }
    if (options.name.empty()) throw BakeError("option --name is required");
    if (!haveRoot) throw BakeError("option --output-root is required");
    options.characters = buildCharacterSet(listed, includeAscii);
    return options;
}

}  // namespace Orvex::Tools::FontBaker
