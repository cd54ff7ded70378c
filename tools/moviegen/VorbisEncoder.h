#pragma once
#include <cstdint>
#include <vector>

#include "tools/moviegen/EncodedStream.h"

namespace Orvex::Tools::MovieGen {

// Encodes planar samples (one vector per channel, 1 or 2 channels) as a Vorbis stream.
// Throws MovieError when the encoder refuses the set-up.
EncodedStream encodeVorbis(const std::vector<std::vector<float>>& samples, uint32_t sampleRate, uint32_t serial);

}  // namespace Orvex::Tools::MovieGen
