#pragma once
#include <cstdint>
#include <vector>

#include "tools/moviegen/EncodedStream.h"

namespace Orvex::Tools::MovieGen {

// Lays out an Ogg file: the first header page of the video stream, then that of the audio
// stream (so every stream begins before any other page), then the remaining header pages of
// each, then the data pages of both streams interleaved by time. `audio` may be null.
std::vector<uint8_t> muxOgg(const EncodedStream& video, const EncodedStream* audio);

}  // namespace Orvex::Tools::MovieGen
