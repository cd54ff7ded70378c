#pragma once
// Decodes an Ogg Vorbis file read through a stream reader into 16-bit signed little-endian PCM.
// The file's "LOOP_START" comment (any letter case) names the loop point in seconds; a point
// outside the track counts as its start.
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/io/OxStreamIO.h"
#include "platform/audio/AudioTypes.h"

namespace Orvex::AudioSystem::Vorbis {

// One ov_read call decodes at most this many bytes; a read needs room for at least one call.
inline constexpr uint32_t kDecodeChunkBytes = 4096;

class VorbisDecoder {
public:
    VorbisDecoder();
    virtual ~VorbisDecoder();
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    // Opens name on the reader and reads the stream's headers. Once only: after close the
    // decoder cannot be opened again.
    bool open(const std::u16string& name, IO::StreamIO::IOrvexStreamReader& reader);
    // Decodes whole chunks until the next would not fit. At the end of the stream (or at a
    // decode error) marks the end; bytesRead may then be 0. False when not open, already at the
    // end, or when capacity is below one chunk.
    bool read(uint8_t* destination, uint32_t capacity, uint32_t& bytesRead);
    bool seekTime(double seconds);
    void close();

    bool isOpened() const { return opened_; }
    bool isEndOfStream() const { return endOfStream_; }
    double getLoopStart() const { return loopStart_; }
    const Platform::Audio::WaveFormat& getFormat() const { return format_; }

private:
    static size_t readCallback(void* destination, size_t size, size_t count, void* source);
    static int seekCallback(void* source, ogg_int64_t offset, int whence);
    static int closeCallback(void* source);
    static long tellCallback(void* source);

    void scanLoopStart();

    // Clears the libvorbisfile state (also one whose opening failed) and frees it.
    struct FileCloser {
        void operator()(OggVorbis_File* file) const;
    };

    bool opened_ = false;
    IO::StreamIO::IOrvexStreamReader* reader_ = nullptr;
    std::unique_ptr<OggVorbis_File, FileCloser> file_;  // from open until close
    Platform::Audio::WaveFormat format_{};
    bool endOfStream_ = false;
    double loopStart_ = 0.0;
};

}  // namespace Orvex::AudioSystem::Vorbis
