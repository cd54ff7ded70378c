#include "tools/moviegen/VorbisEncoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <string>

#include "tools/moviegen/MovieError.h"

namespace Orvex::Tools::MovieGen {

namespace {

constexpr float kQuality = 0.3f;  // -0.1..1.0
constexpr long kChunkFrames = 1024;

// The libvorbis encoder state, cleared in reverse order of set-up.
class VorbisState {
public:
    VorbisState(uint32_t channels, uint32_t sampleRate) {
        vorbis_info_init(&info_);
        if (vorbis_encode_init_vbr(&info_, static_cast<long>(channels), static_cast<long>(sampleRate), kQuality) != 0) {
            vorbis_info_clear(&info_);
            throw MovieError("the Vorbis encoder refused " + std::to_string(channels) + " channel(s) at " +
                             std::to_string(sampleRate) + " Hz");
        }
        vorbis_comment_init(&comment_);
        vorbis_analysis_init(&dsp_, &info_);
        vorbis_block_init(&dsp_, &block_);
    }
    ~VorbisState() {
        vorbis_block_clear(&block_);
        vorbis_dsp_clear(&dsp_);
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }
    VorbisState(const VorbisState&) = delete;
    VorbisState& operator=(const VorbisState&) = delete;

    void headers(std::vector<EncodedPacket>& out) {
        ogg_packet identification, comments, codebooks;
        if (vorbis_analysis_headerout(&dsp_, &comment_, &identification, &comments, &codebooks) != 0) {
            throw MovieError("the Vorbis encoder gave no headers");
        }
        out.push_back(copyPacket(identification));
        out.push_back(copyPacket(comments));
        out.push_back(copyPacket(codebooks));
    }

    // Hands `count` frames from `offset` to the encoder (count 0 marks the end) and collects
    // every packet that is ready.
    void feed(const std::vector<std::vector<float>>& samples, size_t offset, long count,
              std::vector<EncodedPacket>& out) {
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp_, static_cast<int>(count));
            for (size_t c = 0; c < samples.size(); ++c) {
                std::copy_n(samples[c].begin() + static_cast<ptrdiff_t>(offset), count, buffer[c]);
            }
        }
        vorbis_analysis_wrote(&dsp_, static_cast<int>(count));
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) out.push_back(copyPacket(packet));
        }
    }

private:
    vorbis_info info_{};
    vorbis_comment comment_{};
    vorbis_dsp_state dsp_{};
    vorbis_block block_{};
};

}  // namespace

EncodedStream encodeVorbis(const std::vector<std::vector<float>>& samples, uint32_t sampleRate, uint32_t serial) {
    if (samples.empty()) throw MovieError("a sound track needs at least one channel");
    VorbisState state(static_cast<uint32_t>(samples.size()), sampleRate);
    EncodedStream stream;
    stream.serial = serial;
    state.headers(stream.headers);
    const size_t total = samples[0].size();
    for (size_t offset = 0; offset < total; offset += kChunkFrames) {
        const long count = static_cast<long>(std::min<size_t>(kChunkFrames, total - offset));
        state.feed(samples, offset, count, stream.data);
    }
    state.feed(samples, total, 0, stream.data);
    const double rate = sampleRate;
    stream.granuleTime = [rate](int64_t granulepos) { return static_cast<double>(granulepos) / rate; };
    return stream;
}

}  // namespace Orvex::Tools::MovieGen
