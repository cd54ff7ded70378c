#pragma once
// Decoded float sample frames to interleaved signed 16-bit PCM.
#include <cstdint>

namespace Theora {

// Converts up to `frames` sample frames of `channels` planar float channels into `out`, which
// has room for `capacity` samples. Each value becomes value x 32767, truncated toward zero and
// clamped to -32768..32767. Stops as soon as `out` is full. `samplesWritten` receives the samples
// stored; the result is the number of whole frames stored (a frame cut off by the end of `out`
// is not counted and is converted again at the start of the next buffer).
uint32_t convertToPcm16(const float* const* pcm, uint32_t channels, uint32_t frames, int16_t* out, uint32_t capacity,
                        uint32_t& samplesWritten);

}  // namespace Theora
