#include "engine/audio/VorbisDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace Orvex::AudioSystem::Vorbis {
namespace {

using IO::StreamIO::IOrvexStreamReader;

constexpr size_t kMaxCommentBytes = 256;
constexpr std::string_view kLoopStartKey = "LOOP_START";

// Comment field names are compared without regard to ASCII case.
bool sameKey(std::string_view key, std::string_view wanted) {
    return key.size() == wanted.size() && std::equal(key.begin(), key.end(), wanted.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           });
}

}  // namespace

VorbisDecoder::VorbisDecoder() = default;

VorbisDecoder::~VorbisDecoder() { close(); }

void VorbisDecoder::FileCloser::operator()(OggVorbis_File* file) const {
    ov_clear(file);
    delete file;
}

size_t VorbisDecoder::readCallback(void* destination, size_t size, size_t count, void* source) {
    auto* reader = static_cast<IOrvexStreamReader*>(source);
    uint32_t position = 0;
    if (size == 0 || !reader->tell(position)) {
        return 0;
    }
    const uint32_t total = reader->getSize();
    if (position >= total) {
        return 0;
    }
    const size_t n = std::min<size_t>((total - position) / size, count);
    if (n == 0) {
        return 0;
    }
    uint32_t got = 0;
    const auto wanted = static_cast<uint32_t>(n * size);
    reader->read(destination, wanted, &got);
    return got == wanted ? n : 0;
}

int VorbisDecoder::seekCallback(void* source, ogg_int64_t offset, int whence) {
    auto* reader = static_cast<IOrvexStreamReader*>(source);
    // Only the low 32 bits count: no file of ours reaches 4 GiB.
    const auto low = static_cast<uint32_t>(static_cast<uint64_t>(offset));
    bool done = false;
    switch (whence) {
        case SEEK_SET:
            done = reader->seek(low);
            break;
        case SEEK_CUR:
            done = reader->skip(static_cast<int32_t>(low));
            break;
        case SEEK_END:
            done = reader->seek(reader->getSize() + low);
            break;
        default:
            return -1;
    }
    return done ? 0 : -1;
}

int VorbisDecoder::closeCallback(void* /*source*/) {
    return 0;  // the decoder closes the reader itself
}

long VorbisDecoder::tellCallback(void* source) {
    uint32_t position = 0;
    if (!static_cast<IOrvexStreamReader*>(source)->tell(position)) {
        return -1;
    }
    return static_cast<long>(position);
}

bool VorbisDecoder::open(const std::u16string& name, IOrvexStreamReader& reader) {
    if (opened_ || !reader.open(name)) {
        return false;
    }
    const ov_callbacks callbacks{&VorbisDecoder::readCallback, &VorbisDecoder::seekCallback,
                                 &VorbisDecoder::closeCallback, &VorbisDecoder::tellCallback};
    std::unique_ptr<OggVorbis_File, FileCloser> file(new OggVorbis_File{});
    const vorbis_info* info = nullptr;
    if (ov_open_callbacks(&reader, file.get(), nullptr, 0, callbacks) < 0 ||
        (info = ov_info(file.get(), -1)) == nullptr) {
        reader.close();
        return false;
    }
    file_ = std::move(file);
    scanLoopStart();
    format_ = {};
    format_.formatTag = Platform::Audio::kWaveFormatPcm;
    format_.channels = static_cast<uint16_t>(info->channels);
    format_.samplesPerSec = static_cast<uint32_t>(info->rate);
    format_.blockAlign = static_cast<uint16_t>(format_.channels * 2);
    format_.avgBytesPerSec = format_.blockAlign * format_.samplesPerSec;
    format_.bitsPerSample = 16;
    reader_ = &reader;
    opened_ = true;
    endOfStream_ = false;
    return true;
}

void VorbisDecoder::scanLoopStart() {
    loopStart_ = 0.0;
    const vorbis_comment* comments = ov_comment(file_.get(), -1);
    if (comments == nullptr) {
        return;
    }
    for (int i = 0; i < comments->comments; ++i) {
        const auto length = static_cast<size_t>(comments->comment_lengths[i]);
        if (length >= kMaxCommentBytes || comments->user_comments[i] == nullptr) {
            continue;
        }
        const std::string comment(comments->user_comments[i], length);
        const size_t equals = comment.find('=');
        if (equals == std::string::npos || !sameKey(std::string_view(comment).substr(0, equals), kLoopStartKey)) {
            continue;
        }
        double value = 0.0;
        if (std::sscanf(comment.c_str() + equals + 1, "%lf", &value) == 1) {
            loopStart_ = value;
        }
    }
    // A loop point outside the track (negative, at or past its end, not a number) cannot be
    // reached by a seek: the whole track then loops from its start.
    const double length = ov_time_total(file_.get(), -1);
    if (!(loopStart_ >= 0.0 && loopStart_ < length)) {
        loopStart_ = 0.0;
    }
}

bool VorbisDecoder::read(uint8_t* destination, uint32_t capacity, uint32_t& bytesRead) {
    bytesRead = 0;
    if (!opened_ || endOfStream_ || capacity < kDecodeChunkBytes) {
        return false;
    }
    if (!file_) {
        endOfStream_ = true;  // closed: nothing more will come
        return true;
    }
    uint32_t total = 0;
    do {
        int section = 0;
        const long got = ov_read(file_.get(), reinterpret_cast<char*>(destination + total),
                                 static_cast<int>(kDecodeChunkBytes), 0, 2, 1, &section);
        if (got <= 0) {
            // The end, or a decode error, which counts as the end.
            endOfStream_ = true;
            break;
        }
        total += static_cast<uint32_t>(got);
    } while (total + kDecodeChunkBytes <= capacity);
    bytesRead = total;
    return true;
}

bool VorbisDecoder::seekTime(double seconds) {
    if (!file_ || ov_time_seek(file_.get(), seconds) < 0) {
        return false;
    }
    endOfStream_ = false;
    return true;
}

void VorbisDecoder::close() {
    if (!file_) {
        return;  // opened_ stays set: a closed decoder is never opened again
    }
    file_.reset();
    reader_->close();
    reader_ = nullptr;
    format_ = {};
    endOfStream_ = false;
}

}  // namespace Orvex::AudioSystem::Vorbis
