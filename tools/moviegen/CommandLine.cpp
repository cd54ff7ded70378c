#include "tools/moviegen/CommandLine.h"

#include "tools/common/CommandLineArgs.h"
#include "tools/moviegen/MovieError.h"

namespace Orvex::Tools::MovieGen {

const char* const kUsage =
    "usage: orvex-moviegen --output FILE.ogv [options]\n"
    "  --width PIXELS     picture width, a multiple of 16 (default 320)\n"
    "  --height PIXELS    picture height, a multiple of 16 (default 240)\n"
    "  --frames COUNT     number of frames (default 75)\n"
    "  --fps RATE         frames per second (default 25)\n"
    "  --hue DEGREES      base colour of the picture, 0..359 (default 210)\n"
    "  --sound            add a Vorbis sound track as long as the pictures\n"
    "  --still            show the first picture on every frame\n"
    "  --backdrop         only a dim moving gradient, to play behind a scene\n"
    "  --rate HZ          sound sample rate (default 44100)\n"
    "  --channels COUNT   sound channels, 1 or 2 (default 2)\n"
    "  --chroma FORMAT    chroma subsampling: 420, 422 or 444 (default 420)\n";

namespace {

constexpr auto parseNumber = &parseNumberOption<MovieError>;

}  // namespace

MovieOptions parseCommandLine(const std::vector<std::string>& args) {
    MovieOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--sound") {
            options.withSound = true;
            continue;
        }
        if (option == "--still") {
            options.still = true;
            continue;
        }
        if (option == "--backdrop") {
            options.backdrop = true;
            continue;
        }
        const std::string& value = takeOptionValue<MovieError>(args, i);
        if (option == "--output") {
            options.outputPath = value;
        } else if (option == "--width") {
            options.width = parseNumber(option, value);
        } else if (option == "--height") {
            options.height = parseNumber(option, value);
        } else if (option == "--frames") {
            options.frameCount = parseNumber(option, value);
        } else if (option == "--fps") {
            options.fps = parseNumber(option, value);
        } else if (option == "--hue") {
            options.hue = parseNumber(option, value);
        } else if (option == "--rate") {
            options.sampleRate = parseNumber(option, value);
        } else if (option == "--channels") {
            options.channels = parseNumber(option, value);
        } else if (option == "--chroma") {
            options.chroma = parseNumber(option, value);
        } else {
            throw MovieError("unknown option \"" + option + "\"");
        }
    }
    if (options.outputPath.empty()) throw MovieError("option --output is required");
    return options;
}

}  // namespace Orvex::Tools::MovieGen
