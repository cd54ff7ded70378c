#include "game/save/CSaveDataController.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "engine/io/OxFileReplace.h"
#include "engine/io/OxFileStreamIO.h"
#include "engine/io/OxPathUtility.h"
#include "engine/serialization/OxSerializer.h"
#include "engine/timer/OxTimer.h"

namespace Fenwarrow {
namespace {

using Orvex::IO::StreamIO::OxFileStreamIO;

constexpr uint8_t kMagic[4] = {'H', 'E', 'R', 'O'};
constexpr uint16_t kGroupMask = 0x91E3;
constexpr std::size_t kGroupBytes = 4;
constexpr std::size_t kZlibArea = 1024;
// Bytes handed to zlib or read from the file at a time.
constexpr std::size_t kBlockBytes = 64 * 1024;

// Scrambles and compresses the bytes into one zlib stream at the default level.
bool compress(const std::vector<uint8_t>& plain, std::vector<uint8_t>& compressed) {
    z_stream stream{};
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    std::vector<uint8_t> staging(kBlockBytes);
    uint8_t area[kZlibArea];
    std::size_t offset = 0;
    int flush = Z_NO_FLUSH;
    int result = Z_OK;
    do {
        const std::size_t count = std::min(kBlockBytes, plain.size() - offset);
        std::copy_n(plain.begin() + static_cast<std::ptrdiff_t>(offset), count, staging.begin());
        CSaveDataController::scrambleBytes(staging.data(), count);
        offset += count;
        flush = offset == plain.size() ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = staging.data();
        stream.avail_in = static_cast<uInt>(count);
        do {
            stream.next_out = area;
            stream.avail_out = kZlibArea;
            result = deflate(&stream, flush);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
                deflateEnd(&stream);
                return false;
            }
            compressed.insert(compressed.end(), area, area + (kZlibArea - stream.avail_out));
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
    const bool ended = result == Z_STREAM_END;
    return deflateEnd(&stream) == Z_OK && ended;
}

// Each compressed byte c becomes {w ^ 0x91E3, w} with w = c * 255, little-endian words.
std::vector<uint8_t> expand(const std::vector<uint8_t>& compressed) {
    std::vector<uint8_t> body;
    body.reserve(compressed.size() * kGroupBytes);
    for (const uint8_t c : compressed) {
        const uint16_t second = static_cast<uint16_t>(c * 255u);
        const uint16_t first = static_cast<uint16_t>(second ^ kGroupMask);
        body.push_back(static_cast<uint8_t>(first & 0xFF));
        body.push_back(static_cast<uint8_t>(first >> 8));
        body.push_back(static_cast<uint8_t>(second & 0xFF));
        body.push_back(static_cast<uint8_t>(second >> 8));
    }
    return body;
}

bool writeAll(OxFileStreamIO& file, const void* bytes, std::size_t count) {
    uint32_t written = 0;
    return file.write(bytes, static_cast<uint32_t>(count), &written) && written == count;
}

bool writeFile(const CSaveDataController::Header& plainHeader, const std::vector<uint8_t>& body,
               const std::u16string& path) {
    return Orvex::IO::replaceFileAtomically(path, [&](OxFileStreamIO& file) {
        CSaveDataController::Header header = plainHeader;
        CSaveDataController::scrambleBytes(header.data(), header.size());
        return writeAll(file, header.data(), header.size()) && writeAll(file, body.data(), body.size());
    });
}

// Turns the body's word pairs back into the zlib stream and inflates it, block by block, straight
// into the end of the destination, which grows geometrically and is cut to the bytes made at the
// end. A refusal leaves the reason in error().
class BodyDecoder {
public:
    explicit BodyDecoder(std::vector<uint8_t>& out) : out_(out), made_(out.size()) {}
    ~BodyDecoder() {
        if (started_) {
            inflateEnd(&stream_);
        }
        out_.resize(made_);
    }
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;

    bool start() {
        started_ = inflateInit(&stream_) == Z_OK;
        return started_ || refuse("zlib cannot be started");
    }

    // Decodes whole groups; a group whose words do not match fails the read even after the
    // end of the zlib stream.
    bool feed(const uint8_t* bytes, std::size_t groups) {
        compressed_.resize(groups);
        uint8_t* next = compressed_.data();
        for (std::size_t i = 0; i < groups; ++i, bytes += kGroupBytes) {
            const uint16_t first = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
            const uint16_t second = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
            if ((first ^ kGroupMask) != second) {
                return refuse("the word pair at body byte " + std::to_string((decoded_ + i) * kGroupBytes) +
                              " does not check");
            }
            next[i] = static_cast<uint8_t>(second / 255);
        }
        decoded_ += groups;
        return ended_ || inflateBlock();
    }

    bool finish() {
        started_ = false;
        const bool closed = inflateEnd(&stream_) == Z_OK;
        return (closed && ended_) || refuse("the body ends before its compressed data does");
    }

    const std::string& error() const { return error_; }

private:
    bool refuse(std::string reason) {
        error_ = std::move(reason);
        return false;
    }

    // Room for at least kZlibArea more bytes, never beyond one byte over the limit (a stream
    // that fills that byte is refused).
    bool makeRoom() {
        const std::size_t cap = CSaveDataController::kMaxDataBytes + 1;
        if (out_.size() - made_ >= kZlibArea || out_.size() == cap) {
            return out_.size() > made_;
        }
        out_.resize(std::min(cap, std::max(out_.size() * 2, made_ + kBlockBytes)));
        return true;
    }

    bool refuseTooLarge() {
        return refuse("the data inflates beyond " + std::to_string(CSaveDataController::kMaxDataBytes >> 20) + " MiB");
    }

    bool inflateBlock() {
        stream_.next_in = compressed_.data();
        stream_.avail_in = static_cast<uInt>(compressed_.size());
        while (true) {
            if (!makeRoom()) {
                return refuseTooLarge();
            }
            const std::size_t room = std::min<std::size_t>(out_.size() - made_, std::numeric_limits<uInt>::max());
            stream_.next_out = out_.data() + made_;
            stream_.avail_out = static_cast<uInt>(room);
            const int result = inflate(&stream_, Z_NO_FLUSH);
            // Z_BUF_ERROR: this block is used up and the stream goes on in the next one.
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
                const std::size_t at = decoded_ - stream_.avail_in;
                return refuse("the compressed data does not inflate at body byte " + std::to_string(at * kGroupBytes) +
                              " (" + (stream_.msg != nullptr ? stream_.msg : "zlib error " + std::to_string(result)) +
                              ")");
            }
            made_ += room - stream_.avail_out;
            if (made_ > CSaveDataController::kMaxDataBytes) {
                return refuseTooLarge();
            }
            if (result == Z_STREAM_END) {
                ended_ = true;  // bytes after the stream's end are not data
                return true;
            }
            // Done with this block once its input is used up and the output was not the limit.
            if (stream_.avail_in == 0 && stream_.avail_out > 0) {
                return true;
            }
        }
    }

    std::vector<uint8_t>& out_;
    std::size_t made_;
    std::vector<uint8_t> compressed_;
    z_stream stream_{};
    std::size_t decoded_ = 0;  // word pairs decoded so far
    bool started_ = false;
    bool ended_ = false;
    std::string error_;
};

// Reads and decodes the body; on failure the reason is in error.
bool readBody(OxFileStreamIO& file, uint32_t bodyBytes, std::vector<uint8_t>& out, std::string& error) {
    BodyDecoder decoder(out);
    if (!decoder.start()) {
        error = decoder.error();
        return false;
    }
    std::vector<uint8_t> block(std::min<std::size_t>(kBlockBytes, bodyBytes) + kGroupBytes);
    std::size_t carried = 0;  // bytes of an unfinished group from the last read
    uint32_t remaining = bodyBytes;
    while (remaining > 0) {
        uint32_t got = 0;
        const uint32_t want = static_cast<uint32_t>(std::min<std::size_t>(kBlockBytes, remaining));
        if (!file.read(block.data() + carried, want, &got) || got == 0) {
            error = "reading the body fails at body byte " + std::to_string(bodyBytes - remaining);
            return false;
        }
        remaining -= got;
        const std::size_t available = carried + got;
        const std::size_t groups = available / kGroupBytes;
        if (!decoder.feed(block.data(), groups)) {
            error = decoder.error();
            return false;
        }
        carried = available - groups * kGroupBytes;
        std::memmove(block.data(), block.data() + groups * kGroupBytes, carried);
    }
    // 1 to 3 bytes after the last whole group are not part of the body.
    if (!decoder.finish()) {
        error = decoder.error();
        return false;
    }
    return true;
}

bool readHeader(OxFileStreamIO& file, CSaveDataController::Header& header) {
    uint32_t got = 0;
    if (!file.read(header.data(), static_cast<uint32_t>(header.size()), &got) || got != header.size()) {
        return false;
    }
    CSaveDataController::scrambleBytes(header.data(), header.size());
    return true;
}

}  // namespace

void CSaveDataController::scrambleBytes(uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] ^= kScrambleKey;
    }
}

bool CSaveDataController::prepareHeader() {
    header_.fill(0);
    std::copy(std::begin(kMagic), std::end(kMagic), header_.begin());
    header_[4] = kCurrentVersion;
    header_[5] = static_cast<uint8_t>(Orvex::Timer::OxTimer().getSystemTime() & 0xFF);
    return true;
}

bool CSaveDataController::writeContainer(const Orvex::Serialization::OxSerializer& data, const std::u16string& path) {
    if (data.getBuffer().size() > kMaxDataBytes) {
        return false;  // it could never be read back
    }
    std::vector<uint8_t> compressed;
    if (!compress(data.getBuffer(), compressed)) {
        return false;
    }
    return writeFile(header_, expand(compressed), path);
}

bool CSaveDataController::readContainer(Orvex::Serialization::OxSerializer& data, const std::u16string& path) {
    data.setWriting(false);
    data.getBuffer().clear();
    // Neither format's version until a header is read: a file that has none is not taken for
    // an old save.
    header_.fill(0xFF);
    lastError_.clear();
    OxFileStreamIO file;
    if (!file.open(path)) {
        return refuse("the file cannot be opened");
    }
    const uint32_t size = file.getSize();
    if (size < kHeaderBytes || !readHeader(file, header_)) {
        header_.fill(0xFF);
        return refuse("the file is shorter than its " + std::to_string(kHeaderBytes) + "-byte header (" +
                      std::to_string(size) + " bytes)");
    }
    // Version 0 is the old format, read only by its own loader; later versions are unknown.
    if (header_[4] == kOldVersion) {
        return refuse("the file is of the old format (version 0)");
    }
    if (header_[4] != kCurrentVersion) {
        return refuse("the header's version byte reads " + std::to_string(header_[4]) +
                      ": a damaged header, or one not scrambled as a save's");
    }
    std::string error;
    if (!readBody(file, size - static_cast<uint32_t>(kHeaderBytes), data.getBuffer(), error)) {
        data.getBuffer().clear();
        return refuse(error);
    }
    scrambleBytes(data.getBuffer().data(), data.getBuffer().size());
    return true;
}

bool CSaveDataController::refuse(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

bool CSaveDataController::isValidSaveFile(const std::u16string& path) {
    OxFileStreamIO file;
    CSaveDataController container;
    return file.open(path) && readHeader(file, container.header_) && container.hasValidHeader();
}

bool CSaveDataController::hasValidHeader() const {
    return std::equal(std::begin(kMagic), std::end(kMagic), header_.begin()) && header_[4] == kCurrentVersion;
}

}  // namespace Fenwarrow
