#include "tools/moviegen/MovieOptions.h"

#include "tools/moviegen/MovieError.h"

namespace Orvex::Tools::MovieGen {

namespace {

void checkDimension(const char* what, uint32_t value) {
    // The picture fills whole 16x16 blocks so that it needs no crop offsets.
    if (value == 0 || value > kMaxDimension || value % 16 != 0) {
        throw MovieError(std::string(what) + " " + std::to_string(value) + " is not a multiple of 16 in 16.." +
                         std::to_string(kMaxDimension));
    }
}

}  // namespace

void checkOptions(const MovieOptions& options) {
    if (options.outputPath.empty()) throw MovieError("no output file given");
    checkDimension("width", options.width);
    checkDimension("height", options.height);
    if (options.frameCount == 0 || options.frameCount > kMaxFrameCount) {
        throw MovieError("frame count " + std::to_string(options.frameCount) + " is outside 1.." +
                         std::to_string(kMaxFrameCount));
    }
    if (options.fps == 0 || options.fps > kMaxFps) {
        throw MovieError("frame rate " + std::to_string(options.fps) + " is outside 1.." + std::to_string(kMaxFps));
    }
    if (options.hue > 359) throw MovieError("hue " + std::to_string(options.hue) + " is outside 0..359");
    if (options.chroma != 420 && options.chroma != 422 && options.chroma != 444) {
        throw MovieError("chroma " + std::to_string(options.chroma) + " is not 420, 422 or 444");
    }
    if (options.withSound) {
        if (options.sampleRate < kMinSampleRate || options.sampleRate > kMaxSampleRate) {
            throw MovieError("sample rate " + std::to_string(options.sampleRate) + " is outside " +
                             std::to_string(kMinSampleRate) + ".." + std::to_string(kMaxSampleRate));
        }
        if (options.channels != 1 && options.channels != 2) {
            throw MovieError("channel count " + std::to_string(options.channels) + " is not 1 or 2");
        }
    }
}

}  // namespace Orvex::Tools::MovieGen
