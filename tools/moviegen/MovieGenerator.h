#pragma once
#include <cstdint>
#include <vector>

#include "tools/moviegen/MovieOptions.h"

namespace Orvex::Tools::MovieGen {

// Serial numbers of the two logical streams: fixed, so the same options give the same bytes.
constexpr uint32_t kVideoSerial = 0x4F560001;
constexpr uint32_t kAudioSerial = 0x4F560002;

// The whole movie file in memory: a Theora stream and, with sound, a Vorbis stream as long
// as the pictures (frameCount / fps seconds). Throws MovieError on bad options.
std::vector<uint8_t> generateMovie(const MovieOptions& options);

// generateMovie, written to options.outputPath; throws MovieError naming the file when it
// cannot be written.
void writeMovie(const MovieOptions& options);

}  // namespace Orvex::Tools::MovieGen
