// Bakes a bitmap font for the game from an installed TrueType/OpenType font.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/CommandLineArgs.h"
#include "tools/fontbaker/BakeError.h"
#include "tools/fontbaker/CommandLine.h"
#include "tools/fontbaker/FontBaker.h"

int main(int argc, char** argv) {
    using namespace Orvex::Tools::FontBaker;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (Orvex::Tools::isHelpRequest(args)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    BakeOptions options;
    try {
        options = parseCommandLine(args);
    } catch (const BakeError& error) {
        std::fprintf(stderr, "orvex-fontbaker: %s\n%s", error.what(), kUsage);
        return 2;
    }
    try {
        const BakeSummary summary = bakeFont(options);
        std::printf("%s: %zu glyphs on %zu page(s), %zu kerning pairs\n", summary.fontFile.string().c_str(),
                    summary.glyphCount, summary.pageFiles.size(), summary.kerningPairs);
    } catch (const BakeError& error) {
        std::fprintf(stderr, "orvex-fontbaker: %s\n", error.what());
        return 1;
    }
    return 0;
}
