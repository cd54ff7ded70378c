#pragma once
// Reads a PCM WAV file by walking its RIFF chunks: the "fmt " chunk gives the format, the
// "data" chunk the samples; other chunks (LIST, fact, cue, ...) before, between or after them
// are skipped.
#include <memory>
#include <string>

#include "engine/audio/WaveContainer.h"
#include "engine/io/OxStreamIO.h"

namespace Orvex::AudioSystem::XAudio2 {

// The samples and format of the entry open on `reader`, or null with `fault` saying why the
// file cannot be played.
std::shared_ptr<WaveContainer> readWaveFile(IO::StreamIO::IOrvexStreamReader& reader, std::string& fault);

}  // namespace Orvex::AudioSystem::XAudio2
