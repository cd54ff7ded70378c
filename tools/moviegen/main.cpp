// Writes a short deterministic Ogg Theora movie, optionally with a Vorbis sound track.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/CommandLineArgs.h"
#include "tools/moviegen/CommandLine.h"
#include "tools/moviegen/MovieError.h"
#include "tools/moviegen/MovieGenerator.h"

int main(int argc, char** argv) {
    using namespace Orvex::Tools::MovieGen;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (Orvex::Tools::isHelpRequest(args)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    MovieOptions options;
    try {
        options = parseCommandLine(args);
        checkOptions(options);
    } catch (const MovieError& error) {
        std::fprintf(stderr, "orvex-moviegen: %s\n%s", error.what(), kUsage);
        return 2;
    }
    try {
        writeMovie(options);
    } catch (const MovieError& error) {
        std::fprintf(stderr, "orvex-moviegen: %s\n", error.what());
        return 1;
    }
    std::printf("%s: %ux%u, %u frames at %u fps%s\n", options.outputPath.c_str(), options.width, options.height,
                options.frameCount, options.fps, options.withSound ? ", with sound" : "");
    return 0;
}
