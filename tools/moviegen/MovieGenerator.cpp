#include "tools/moviegen/MovieGenerator.h"

#include <fstream>
#include <optional>

#include "tools/moviegen/FramePainter.h"
#include "tools/moviegen/MovieError.h"
#include "tools/moviegen/OggMuxer.h"
#include "tools/moviegen/TheoraEncoder.h"
#include "tools/moviegen/ToneSynth.h"
#include "tools/moviegen/VorbisEncoder.h"

namespace Orvex::Tools::MovieGen {

std::vector<uint8_t> generateMovie(const MovieOptions& options) {
    checkOptions(options);
    const FramePainter painter(options.width, options.height, options.hue, options.still, options.backdrop);
    const EncodedStream video = encodeTheora(painter, options.width, options.height, options.fps, options.frameCount,
                                             options.chroma, kVideoSerial);
    std::optional<EncodedStream> audio;
    if (options.withSound) {
        const uint64_t sampleFrames = uint64_t{options.frameCount} * options.sampleRate / options.fps;
        audio = encodeVorbis(synthesizeChime(options.channels, options.sampleRate, sampleFrames), options.sampleRate,
                             kAudioSerial);
    }
    return muxOgg(video, audio ? &*audio : nullptr);
}

void writeMovie(const MovieOptions& options) {
    const std::vector<uint8_t> bytes = generateMovie(options);
    std::ofstream out(options.outputPath, std::ios::binary | std::ios::trunc);
    if (!out) throw MovieError(options.outputPath + ": cannot create the file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw MovieError(options.outputPath + ": cannot write the file");
}

}  // namespace Orvex::Tools::MovieGen
