#pragma once
#include <cstdint>

#include "tools/moviegen/EncodedStream.h"
#include "tools/moviegen/FramePainter.h"

namespace Orvex::Tools::MovieGen {

// Encodes `frameCount` painted frames as a Theora stream whose picture is the whole frame
// (width and height multiples of 16, no crop offsets), with chroma 420, 422 or 444. Throws
// MovieError when the encoder refuses the set-up.
EncodedStream encodeTheora(const FramePainter& painter, uint32_t width, uint32_t height, uint32_t fps,
                           uint32_t frameCount, uint32_t chroma, uint32_t serial);

}  // namespace Orvex::Tools::MovieGen
