#include "tools/moviegen/OggMuxer.h"

#include <ogg/ogg.h>

#include <optional>

#include "tools/moviegen/MovieError.h"

namespace Orvex::Tools::MovieGen {

namespace {

struct PageCopy {
    std::vector<uint8_t> bytes;
    double time = 0.0;
};

// One logical stream being paged.
class PageStream {
public:
    explicit PageStream(const EncodedStream& source) : source_(source) {
        if (ogg_stream_init(&state_, static_cast<int>(source.serial)) != 0) throw MovieError("libogg: out of memory");
    }
    ~PageStream() { ogg_stream_clear(&state_); }
    PageStream(const PageStream&) = delete;
    PageStream& operator=(const PageStream&) = delete;

    void add(const EncodedPacket& packet) {
        ogg_packet op{};
        op.packet = const_cast<unsigned char*>(packet.bytes.data());
        op.bytes = static_cast<long>(packet.bytes.size());
        op.b_o_s = packet.beginsStream ? 1 : 0;
        op.e_o_s = packet.endsStream ? 1 : 0;
        op.granulepos = packet.granulepos;
        op.packetno = packetNumber_++;
        if (ogg_stream_packetin(&state_, &op) != 0) throw MovieError("libogg refused a packet");
    }
    void addHeader(size_t index) { add(source_.headers.at(index)); }
    void addRemainingHeaders() {
        for (size_t i = 1; i < source_.headers.size(); ++i) add(source_.headers[i]);
    }
    void addData() {
        for (const EncodedPacket& packet : source_.data) add(packet);
    }
    // Writes out every buffered packet, ending the last page.
    void flushTo(std::vector<uint8_t>& out) {
        ogg_page page;
        while (ogg_stream_flush(&state_, &page) != 0) append(page, out);
    }
    // The next full (or, at the end of the stream, final) page.
    std::optional<PageCopy> nextPage() {
        ogg_page page;
        if (ogg_stream_pageout(&state_, &page) == 0) return std::nullopt;
        PageCopy copy;
        append(page, copy.bytes);
        const int64_t granulepos = ogg_page_granulepos(&page);
        if (granulepos >= 0) lastTime_ = source_.granuleTime(granulepos);
        copy.time = lastTime_;
        return copy;
    }

private:
    static void append(const ogg_page& page, std::vector<uint8_t>& out) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    }

    const EncodedStream& source_;
    ogg_stream_state state_{};
    int64_t packetNumber_ = 0;
    double lastTime_ = 0.0;
};

}  // namespace

std::vector<uint8_t> muxOgg(const EncodedStream& video, const EncodedStream* audio) {
    std::vector<uint8_t> file;
    PageStream videoPages(video);
    std::optional<PageStream> audioPages;
    if (audio) audioPages.emplace(*audio);

    videoPages.addHeader(0);
    videoPages.flushTo(file);
    if (audioPages) {
        audioPages->addHeader(0);
        audioPages->flushTo(file);
    }
    videoPages.addRemainingHeaders();
    videoPages.flushTo(file);
    if (audioPages) {
        audioPages->addRemainingHeaders();
        audioPages->flushTo(file);
    }

    videoPages.addData();
    if (audioPages) audioPages->addData();
    std::optional<PageCopy> pendingVideo = videoPages.nextPage();
    std::optional<PageCopy> pendingAudio = audioPages ? audioPages->nextPage() : std::nullopt;
    while (pendingVideo || pendingAudio) {
        const bool takeVideo = pendingVideo && (!pendingAudio || pendingVideo->time <= pendingAudio->time);
        if (takeVideo) {
            file.insert(file.end(), pendingVideo->bytes.begin(), pendingVideo->bytes.end());
            pendingVideo = videoPages.nextPage();
        } else {
            file.insert(file.end(), pendingAudio->bytes.begin(), pendingAudio->bytes.end());
            pendingAudio = audioPages->nextPage();
        }
    }
    // Both streams end with an end-of-stream packet, so nothing is left; flush for safety.
    videoPages.flushTo(file);
    if (audioPages) audioPages->flushTo(file);
    return file;
}

}  // namespace Orvex::Tools::MovieGen
