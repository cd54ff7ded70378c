#include "tools/moviegen/TheoraEncoder.h"

#include <theora/theoraenc.h>

#include <memory>

#include "tools/moviegen/MovieError.h"

namespace Orvex::Tools::MovieGen {

namespace {

constexpr int kQuality = 48;              // 0..63
constexpr int kKeyframeGranuleShift = 6;  // a key frame at least every 64 frames

struct EncoderDeleter {
    void operator()(th_enc_ctx* encoder) const { th_encode_free(encoder); }
};

}  // namespace

EncodedStream encodeTheora(const FramePainter& painter, uint32_t width, uint32_t height, uint32_t fps,
                           uint32_t frameCount, uint32_t chroma, uint32_t serial) {
    YCbCrFrame frame;
    frame.chromaShiftX = chroma == 444 ? 0 : 1;
    frame.chromaShiftY = chroma == 420 ? 1 : 0;
    th_info info;
    th_info_init(&info);
    info.frame_width = width;
    info.frame_height = height;
    info.pic_width = width;
    info.pic_height = height;
    info.pic_x = 0;
    info.pic_y = 0;
    info.fps_numerator = fps;
    info.fps_denominator = 1;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = chroma == 444 ? TH_PF_444 : chroma == 422 ? TH_PF_422 : TH_PF_420;
    info.target_bitrate = 0;
    info.quality = kQuality;
    info.keyframe_granule_shift = kKeyframeGranuleShift;
    std::unique_ptr<th_enc_ctx, EncoderDeleter> encoder(th_encode_alloc(&info));
    th_info_clear(&info);
    if (!encoder)
        throw MovieError("the Theora encoder refused a " + std::to_string(width) + "x" + std::to_string(height) +
                         " picture at " + std::to_string(fps) + " fps");
    int keyframeInterval = 1 << kKeyframeGranuleShift;
    th_encode_ctl(encoder.get(), TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &keyframeInterval, sizeof keyframeInterval);

    EncodedStream stream;
    stream.serial = serial;
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    int result = 0;
    while ((result = th_encode_flushheader(encoder.get(), &comment, &packet)) > 0) {
        stream.headers.push_back(copyPacket(packet));
    }
    th_comment_clear(&comment);
    if (result < 0 || stream.headers.size() != 3) throw MovieError("the Theora encoder gave no headers");

    const int chromaWidth = static_cast<int>(width >> frame.chromaShiftX);
    const int chromaHeight = static_cast<int>(height >> frame.chromaShiftY);
    for (uint32_t index = 0; index < frameCount; ++index) {
        painter.paint(index, frameCount, frame);
        th_ycbcr_buffer planes;
        planes[0] =
            th_img_plane{static_cast<int>(width), static_cast<int>(height), static_cast<int>(width), frame.y.data()};
        planes[1] = th_img_plane{chromaWidth, chromaHeight, chromaWidth, frame.cb.data()};
        planes[2] = th_img_plane{chromaWidth, chromaHeight, chromaWidth, frame.cr.data()};
        if (th_encode_ycbcr_in(encoder.get(), planes) != 0) {
            throw MovieError("the Theora encoder refused frame " + std::to_string(index));
        }
        const int last = index + 1 == frameCount ? 1 : 0;
        while ((result = th_encode_packetout(encoder.get(), last, &packet)) > 0) {
            stream.data.push_back(copyPacket(packet));
        }
        if (result < 0) throw MovieError("the Theora encoder failed on frame " + std::to_string(index));
    }

    // The granule position holds the last key frame's number and the frames since it.
    const double rate = fps;
    stream.granuleTime = [rate](int64_t granulepos) {
        const int64_t keyframe = granulepos >> kKeyframeGranuleShift;
        const int64_t since = granulepos & ((int64_t{1} << kKeyframeGranuleShift) - 1);
        return static_cast<double>(keyframe + since) / rate;
    };
    return stream;
}

}  // namespace Orvex::Tools::MovieGen
