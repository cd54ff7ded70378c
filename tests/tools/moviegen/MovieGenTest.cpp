#include <gtest/gtest.h>

#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/kernel/Process.h"
#include "tools/moviegen/CommandLine.h"
#include "tools/moviegen/FramePainter.h"
#include "tools/moviegen/MovieError.h"
#include "tools/moviegen/MovieGenerator.h"

using namespace Orvex::Tools::MovieGen;

namespace {

// What a player sees when it reads the file page by page and decodes both streams.
struct DecodedMovie {
    int theoraStreams = 0;
    int vorbisStreams = 0;
    int otherStreams = 0;
    bool streamsBeginFirst = true;  // every stream-beginning page precedes every other page
    th_info video{};
    std::vector<uint64_t> frameHashes;  // FNV-1a over each frame's picture, all three planes
    int64_t lastVideoFrame = -1;
    bool videoEnded = false;
    int channels = 0;
    long sampleRate = 0;
    int64_t lastAudioGranule = -1;
    uint64_t decodedSamples = 0;
    float loudest = 0.0f;
    bool audioEnded = false;
    // Data pages in file order: stream kind (true = video) and the time their granule gives.
    std::vector<std::pair<bool, double>> dataPages;
};

uint64_t hashPicture(const th_ycbcr_buffer planes, const th_info& info) {
    uint64_t hash = 14695981039346656037ull;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        for (uint32_t y = info.pic_y >> shift; y < (info.pic_y + info.pic_height) >> shift; ++y) {
            for (uint32_t x = info.pic_x >> shift; x < (info.pic_x + info.pic_width) >> shift; ++x) {
                hash = (hash ^ planes[p].data[static_cast<ptrdiff_t>(y) * planes[p].stride + x]) * 1099511628211ull;
            }
        }
    }
    return hash;
}

class MovieReader {
public:
    explicit MovieReader(const std::vector<uint8_t>& file) {
        ogg_sync_init(&sync_);
        char* buffer = ogg_sync_buffer(&sync_, static_cast<long>(file.size()));
        std::copy(file.begin(), file.end(), buffer);
        ogg_sync_wrote(&sync_, static_cast<long>(file.size()));
        th_info_init(&movie.video);
        th_comment_init(&theoraComment_);
        vorbis_info_init(&vorbisInfo_);
        vorbis_comment_init(&vorbisComment_);
    }
    ~MovieReader() {
        for (auto& [serial, stream] : streams_) ogg_stream_clear(&stream.state);
        if (theoraDecoder_) th_decode_free(theoraDecoder_);
        if (theoraSetup_) th_setup_free(theoraSetup_);
        th_comment_clear(&theoraComment_);
        th_info_clear(&movie.video);
        if (vorbisReady_) {
            vorbis_block_clear(&vorbisBlock_);
            vorbis_dsp_clear(&vorbisDsp_);
        }
        vorbis_comment_clear(&vorbisComment_);
        vorbis_info_clear(&vorbisInfo_);
        ogg_sync_clear(&sync_);
    }

    DecodedMovie read() {
        ogg_page page;
        bool sawOtherPage = false;
        while (ogg_sync_pageout(&sync_, &page) == 1) {
            const int serial = ogg_page_serialno(&page);
            if (ogg_page_bos(&page)) {
                if (sawOtherPage) movie.streamsBeginFirst = false;
                ogg_stream_init(&streams_[serial].state, serial);
            } else {
                sawOtherPage = true;
            }
            auto found = streams_.find(serial);
            if (found == streams_.end()) {
                ADD_FAILURE() << "page of a stream that never began";
                continue;
            }
            Stream& stream = found->second;
            ogg_stream_pagein(&stream.state, &page);
            ogg_packet packet;
            bool data = false;
            while (ogg_stream_packetout(&stream.state, &packet) == 1) data = handle(stream, packet) || data;
            const int64_t granule = ogg_page_granulepos(&page);
            if (data && granule >= 0 && stream.kind == Kind::Theora && theoraDecoder_) {
                const double frame = static_cast<double>(th_granule_frame(theoraDecoder_, granule));
                movie.dataPages.emplace_back(true, frame * movie.video.fps_denominator / movie.video.fps_numerator);
            } else if (data && granule >= 0 && stream.kind == Kind::Vorbis) {
                movie.dataPages.emplace_back(false, static_cast<double>(granule) / vorbisInfo_.rate);
            }
        }
        return movie;
    }

    DecodedMovie movie;

private:
    enum class Kind { Unknown, Theora, Vorbis, Other };
    struct Stream {
        ogg_stream_state state{};
        Kind kind = Kind::Unknown;
        int headers = 0;
    };

    // Returns true for a data (not header) packet.
    bool handle(Stream& stream, ogg_packet& packet) {
        if (stream.kind == Kind::Unknown) {
            if (th_decode_headerin(&movie.video, &theoraComment_, &theoraSetup_, &packet) > 0) {
                stream.kind = Kind::Theora;
                ++movie.theoraStreams;
            } else if (vorbis_synthesis_headerin(&vorbisInfo_, &vorbisComment_, &packet) == 0) {
                stream.kind = Kind::Vorbis;
                ++movie.vorbisStreams;
            } else {
                stream.kind = Kind::Other;
                ++movie.otherStreams;
            }
            stream.headers = 1;
            return false;
        }
        if (stream.kind == Kind::Theora) return handleTheora(stream, packet);
        if (stream.kind == Kind::Vorbis) return handleVorbis(stream, packet);
        return false;
    }

    bool handleTheora(Stream& stream, ogg_packet& packet) {
        if (stream.headers < 3) {
            EXPECT_GT(th_decode_headerin(&movie.video, &theoraComment_, &theoraSetup_, &packet), 0);
            if (++stream.headers == 3) theoraDecoder_ = th_decode_alloc(&movie.video, theoraSetup_);
            return false;
        }
        if (!theoraDecoder_) return true;
        ogg_int64_t granule = -1;
        // An unchanged picture is coded as a duplicate of the one before (TH_DUPFRAME).
        const int result = th_decode_packetin(theoraDecoder_, &packet, &granule);
        EXPECT_TRUE(result == 0 || result == TH_DUPFRAME) << "frame " << movie.frameHashes.size();
        th_ycbcr_buffer planes;
        if (th_decode_ycbcr_out(theoraDecoder_, planes) == 0)
            movie.frameHashes.push_back(hashPicture(planes, movie.video));
        if (granule >= 0) movie.lastVideoFrame = th_granule_frame(theoraDecoder_, granule);
        if (packet.e_o_s) movie.videoEnded = true;
        return true;
    }

    bool handleVorbis(Stream& stream, ogg_packet& packet) {
        if (stream.headers < 3) {
            EXPECT_EQ(vorbis_synthesis_headerin(&vorbisInfo_, &vorbisComment_, &packet), 0);
            if (++stream.headers == 3) {
                vorbis_synthesis_init(&vorbisDsp_, &vorbisInfo_);
                vorbis_block_init(&vorbisDsp_, &vorbisBlock_);
                vorbisReady_ = true;
                movie.channels = vorbisInfo_.channels;
                movie.sampleRate = vorbisInfo_.rate;
            }
            return false;
        }
        if (vorbis_synthesis(&vorbisBlock_, &packet) == 0) vorbis_synthesis_blockin(&vorbisDsp_, &vorbisBlock_);
        float** pcm = nullptr;
        int count = 0;
        while ((count = vorbis_synthesis_pcmout(&vorbisDsp_, &pcm)) > 0) {
            for (int c = 0; c < vorbisInfo_.channels; ++c) {
                for (int i = 0; i < count; ++i) movie.loudest = std::max(movie.loudest, std::fabs(pcm[c][i]));
            }
            movie.decodedSamples += static_cast<uint64_t>(count);
            vorbis_synthesis_read(&vorbisDsp_, count);
        }
        if (packet.granulepos >= 0) movie.lastAudioGranule = packet.granulepos;
        if (packet.e_o_s) movie.audioEnded = true;
        return true;
    }

    ogg_sync_state sync_{};
    std::map<int, Stream> streams_;
    th_comment theoraComment_{};
    th_setup_info* theoraSetup_ = nullptr;
    th_dec_ctx* theoraDecoder_ = nullptr;
    vorbis_info vorbisInfo_{};
    vorbis_comment vorbisComment_{};
    vorbis_dsp_state vorbisDsp_{};
    vorbis_block vorbisBlock_{};
    bool vorbisReady_ = false;
};

DecodedMovie decode(const std::vector<uint8_t>& file) {
    MovieReader reader(file);
    return reader.read();
}

MovieOptions tiny(uint32_t width, uint32_t height, uint32_t frames, uint32_t fps) {
    MovieOptions o;
    o.outputPath = "unused.ogv";
    o.width = width;
    o.height = height;
    o.frameCount = frames;
    o.fps = fps;
    return o;
}

TEST(MovieGen, SilentMovieDecodesToTheRequestedFramesSizeAndRate) {
    const MovieOptions cases[] = {tiny(64, 48, 12, 10), tiny(160, 128, 5, 25), tiny(32, 32, 1, 15)};
    for (const MovieOptions& o : cases) {
        SCOPED_TRACE(std::to_string(o.width) + "x" + std::to_string(o.height) + " " + std::to_string(o.frameCount));
        const DecodedMovie movie = decode(generateMovie(o));
        EXPECT_EQ(movie.theoraStreams, 1);
        EXPECT_EQ(movie.vorbisStreams, 0);
        EXPECT_EQ(movie.otherStreams, 0);
        EXPECT_TRUE(movie.streamsBeginFirst);
        EXPECT_EQ(movie.video.pixel_fmt, TH_PF_420);
        EXPECT_EQ(movie.video.frame_width, o.width);
        EXPECT_EQ(movie.video.frame_height, o.height);
        EXPECT_EQ(movie.video.pic_width, o.width);
        EXPECT_EQ(movie.video.pic_height, o.height);
        EXPECT_EQ(movie.video.pic_x, 0u);
        EXPECT_EQ(movie.video.pic_y, 0u);
        EXPECT_EQ(static_cast<double>(movie.video.fps_numerator) / movie.video.fps_denominator, o.fps);
        ASSERT_EQ(movie.frameHashes.size(), o.frameCount);
        EXPECT_EQ(movie.lastVideoFrame, static_cast<int64_t>(o.frameCount) - 1);
        EXPECT_TRUE(movie.videoEnded);
        for (size_t i = 1; i < movie.frameHashes.size(); ++i) {
            EXPECT_NE(movie.frameHashes[i], movie.frameHashes[i - 1]) << "frame " << i << " repeats the one before";
        }
    }
}

TEST(MovieGen, ChromaOptionSetsThePixelFormat) {
    const struct {
        uint32_t chroma;
        th_pixel_fmt format;
    } cases[] = {{420, TH_PF_420}, {422, TH_PF_422}, {444, TH_PF_444}};
    for (const auto& c : cases) {
        MovieOptions o = tiny(64, 48, 3, 10);
        o.chroma = c.chroma;
        const DecodedMovie movie = decode(generateMovie(o));
        EXPECT_EQ(movie.video.pixel_fmt, c.format) << c.chroma;
        EXPECT_EQ(movie.frameHashes.size(), 3u) << c.chroma;
    }
    EXPECT_EQ(parseCommandLine({"--output", "m.ogv", "--chroma", "422"}).chroma, 422u);
}

TEST(MovieGen, AStillMovieShowsTheSamePictureOnEveryFrame) {
    MovieOptions options = tiny(64, 48, 6, 10);
    options.still = true;
    const DecodedMovie movie = decode(generateMovie(options));
    ASSERT_EQ(movie.frameHashes.size(), 6u);
    for (size_t i = 1; i < movie.frameHashes.size(); ++i) {
        EXPECT_EQ(movie.frameHashes[i], movie.frameHashes[0]) << "frame " << i;
    }
    options.still = false;
    EXPECT_NE(decode(generateMovie(options)).frameHashes[1], movie.frameHashes[0]);
}

TEST(MovieGen, ABackdropIsADimMovingGradientWithoutLogoOrBar) {
    auto brightest = [](const YCbCrFrame& frame) { return *std::max_element(frame.y.begin(), frame.y.end()); };
    const FramePainter plain(64, 48, 250);
    const FramePainter backdrop(64, 48, 250, false, true);
    YCbCrFrame first, second, shown;
    backdrop.paint(0, 10, first);
    backdrop.paint(5, 10, second);
    plain.paint(0, 10, shown);
    EXPECT_GT(brightest(shown), 150) << "the logo's ring is light";
    EXPECT_LT(brightest(first), 70) << "no ring, no bar, and a dim gradient";
    EXPECT_NE(first.y, second.y) << "the gradient still moves";
    EXPECT_TRUE(parseCommandLine({"--output", "m.ogv", "--backdrop"}).backdrop);
}

TEST(MovieGen, MovieWithSoundCarriesAVorbisTrackAsLongAsThePictures) {
    struct Case {
        uint32_t channels, rate;
    };
    for (const Case c : {Case{1, 22050}, Case{2, 44100}}) {
        SCOPED_TRACE(std::to_string(c.channels) + " channel(s)");
        MovieOptions o = tiny(160, 128, 30, 15);  // two seconds
        o.withSound = true;
        o.channels = c.channels;
        o.sampleRate = c.rate;
        const DecodedMovie movie = decode(generateMovie(o));
        EXPECT_EQ(movie.theoraStreams, 1);
        ASSERT_EQ(movie.vorbisStreams, 1);
        EXPECT_TRUE(movie.streamsBeginFirst);
        EXPECT_EQ(movie.frameHashes.size(), 30u);
        EXPECT_EQ(movie.channels, static_cast<int>(c.channels));
        EXPECT_EQ(movie.sampleRate, static_cast<long>(c.rate));
        EXPECT_EQ(movie.lastAudioGranule, int64_t{2} * c.rate);
        EXPECT_TRUE(movie.audioEnded);
        // The decoder's output may run up to a block past the final granule position.
        EXPECT_NEAR(static_cast<double>(movie.decodedSamples), 2.0 * c.rate, 4096.0);
        EXPECT_GT(movie.loudest, 0.1f);
        EXPECT_LE(movie.loudest, 1.0f);
        // Sound is interleaved with the pictures by time (within a frame), not appended after them.
        size_t videoPages = 0;
        double latest = 0.0;
        for (const auto& [isVideo, time] : movie.dataPages) {
            videoPages += isVideo ? 1 : 0;
            EXPECT_GE(time, latest - 1.0 / o.fps) << (isVideo ? "video" : "audio") << " page out of order";
            latest = std::max(latest, time);
        }
        EXPECT_GT(videoPages, 2u);
        EXPECT_GE(movie.dataPages.size() - videoPages, 1u);
    }
}

TEST(MovieGen, SameOptionsGiveSameBytesAndTheHueChangesThePicture) {
    MovieOptions o = tiny(64, 48, 8, 10);
    o.withSound = true;
    const std::vector<uint8_t> first = generateMovie(o);
    EXPECT_EQ(generateMovie(o), first);
    o.hue = 30;
    const std::vector<uint8_t> other = generateMovie(o);
    EXPECT_NE(other, first);
    EXPECT_NE(decode(other).frameHashes, decode(first).frameHashes);
}

TEST(MovieGen, RefusesBadOptionsWithAClearMessage) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--width", "64"}, "--output is required"},
        {{"--output", "m.ogv", "--width", "100"}, "width 100 is not a multiple of 16"},
        {{"--output", "m.ogv", "--height", "0"}, "height 0"},
        {{"--output", "m.ogv", "--frames", "0"}, "frame count 0"},
        {{"--output", "m.ogv", "--fps", "0"}, "frame rate 0"},
        {{"--output", "m.ogv", "--hue", "360"}, "hue 360"},
        {{"--output", "m.ogv", "--sound", "--channels", "3"}, "channel count 3"},
        {{"--output", "m.ogv", "--sound", "--rate", "100"}, "sample rate 100"},
        {{"--output", "m.ogv", "--chroma", "411"}, "chroma 411 is not 420, 422 or 444"},
        {{"--output", "m.ogv", "--fps"}, "option --fps needs a value"},
        {{"--output", "m.ogv", "--fps", "2x"}, "\"2x\" is not a whole number"},
        {{"--output", "m.ogv", "--loop"}, "option --loop needs a value"},
        {{"--output", "m.ogv", "--codec", "x"}, "unknown option \"--codec\""},
    };
    for (const Case& c : cases) {
        try {
            checkOptions(parseCommandLine(c.args));
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const MovieError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    MovieOptions unwritable = tiny(32, 32, 1, 10);
    unwritable.outputPath = "/nonexistent-orvex-dir/m.ogv";
    try {
        writeMovie(unwritable);
        ADD_FAILURE() << "wrote into a missing directory";
    } catch (const MovieError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent-orvex-dir/m.ogv: cannot create"), std::string::npos)
            << error.what();
    }
}

TEST(MovieGen, ProgramWritesTheMovieFile) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("orvex-moviegen-" + std::to_string(Platform::Kernel::processId()) + ".ogv");
    const std::string command = std::string(ORVEX_MOVIEGEN_TOOL) + " --output '" + path.string() +
                                "' --width 48 --height 32 --frames 3 --fps 12 --sound --channels 1 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    const DecodedMovie movie = decode(bytes);
    EXPECT_EQ(movie.frameHashes.size(), 3u);
    EXPECT_EQ(movie.video.pic_width, 48u);
    EXPECT_EQ(movie.channels, 1);
}

}  // namespace
