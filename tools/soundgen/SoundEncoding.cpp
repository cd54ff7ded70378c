#include "tools/soundgen/SoundEncoding.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

namespace SoundGen {
namespace {

constexpr int kStreamSerial = 0x4F525658;
constexpr int kAnalysisFrames = 1024;

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(tag[i]));
    }
}

void appendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<uint8_t> encodeWav(const PcmClip& clip) {
    const uint32_t dataBytes = static_cast<uint32_t>(clip.samples.size() * 2);
    const uint32_t blockAlign = clip.channels * 2u;
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, clip.channels);
    put32(out, clip.sampleRate);
    put32(out, clip.sampleRate * blockAlign);
    put16(out, blockAlign);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (int16_t sample : clip.samples) {
        put16(out, static_cast<uint16_t>(sample));
    }
    return out;
}

std::vector<uint8_t> encodeVorbis(const PcmClip& clip, float quality, const std::vector<std::string>& comments) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, clip.channels, static_cast<long>(clip.sampleRate), quality) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("the Vorbis encoder refuses this format");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    for (const std::string& text : comments) {
        vorbis_comment_add(&comment, text.c_str());
    }
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kStreamSerial);

    std::vector<uint8_t> out;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(out, page);
    }

    const uint32_t frames = clip.frames();
    uint32_t done = 0;
    bool endOfStream = false;
    while (!endOfStream) {
        const uint32_t count = std::min<uint32_t>(kAnalysisFrames, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** channels = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (uint32_t f = 0; f < count; ++f) {
                for (uint16_t c = 0; c < clip.channels; ++c) {
                    channels[c][f] = static_cast<float>(clip.samples[(done + f) * clip.channels + c]) / 32768.0f;
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                    if (ogg_page_eos(&page) != 0) {
                        endOfStream = true;
                    }
                }
            }
        }
        if (count == 0 && !endOfStream) {
            // Everything analysed: push out what is left.
            while (ogg_stream_flush(&stream, &page) != 0) {
                appendPage(out, page);
            }
            endOfStream = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

}  // namespace SoundGen
