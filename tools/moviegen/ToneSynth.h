#pragma once
#include <cstdint>
#include <vector>

namespace Orvex::Tools::MovieGen {

// The generator's sound track: a chime of short decaying notes, a new note every quarter
// second, alternating a little between the left and right channel. One vector of samples
// per channel, `sampleFrames` long, every sample within -0.5..0.5.
std::vector<std::vector<float>> synthesizeChime(uint32_t channels, uint32_t sampleRate, uint64_t sampleFrames);

}  // namespace Orvex::Tools::MovieGen
