#include "tools/moviegen/CommandLine.h"

#include <charconv>

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
    "  --rate HZ          sound sample rate (default 44100)\n"
    "  --channels COUNT   sound channels, 1 or 2 (default 2)\n";

namespace {

uint32_t parseNumber(const std::string& option, const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        throw MovieError("option " + option + ": \"" + text + "\" is not a whole number");
    }
    return value;
}

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
        if (i + 1 >= args.size()) throw MovieError(option.rfind("--", 0) == 0 ? "option " + option + " needs a value"
                                                                             : "unexpected argument \"" + option + "\"");
        const std::string& value = args[++i];
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
        } else {
            throw MovieError("unknown option \"" + option + "\"");
        }
    }
    if (options.outputPath.empty()) throw MovieError("option --output is required");
    return options;
}

}  // namespace Orvex::Tools::MovieGen
