#pragma once
#include <cstdint>
#include <string>

namespace Orvex::Tools::MovieGen {

struct MovieOptions {
    std::string outputPath;
    uint32_t width = 320;   // picture width, a multiple of 16
    uint32_t height = 240;  // picture height, a multiple of 16
    uint32_t frameCount = 75;
    uint32_t fps = 25;
    uint32_t hue = 210;  // base colour of the picture, degrees 0..359
    bool withSound = false;
    bool still = false;     // every frame shows the first picture (a logo card)
    bool backdrop = false;  // only the dim moving gradient, for a picture behind a scene
    uint32_t sampleRate = 44100;
    uint32_t channels = 2;
    uint32_t chroma = 420;  // chroma subsampling: 420, 422 or 444
};

constexpr uint32_t kMaxDimension = 4096;
constexpr uint32_t kMaxFrameCount = 100000;
constexpr uint32_t kMaxFps = 120;
constexpr uint32_t kMinSampleRate = 8000;
constexpr uint32_t kMaxSampleRate = 96000;

// Throws MovieError naming the first option out of range.
void checkOptions(const MovieOptions& options);

}  // namespace Orvex::Tools::MovieGen
