#include "engine/audio/WaveFile.h"

#include <array>
#include <cstring>

namespace Orvex::AudioSystem::XAudio2 {
namespace {

constexpr uint32_t kRiffHeaderBytes = 12;
constexpr uint32_t kChunkHeaderBytes = 8;
// Only the plain PCM layout is played; a longer fmt chunk (extension fields) is refused.
constexpr uint32_t kFmtChunkBytes = 16;

uint16_t u16At(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

uint32_t u32At(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

bool readAt(IO::StreamIO::IOrvexStreamReader& reader, uint32_t position, void* out, uint32_t count) {
    uint32_t got = 0;
    return reader.seek(position) && reader.read(out, count, &got) && got == count;
}

std::string chunkName(const uint8_t* id) {
    std::string name;
    for (int i = 0; i < 4; ++i) {
        name += id[i] >= 0x20 && id[i] < 0x7F ? static_cast<char>(id[i]) : '?';
    }
    return "\"" + name + "\"";
}

Platform::Audio::WaveFormat formatFrom(const uint8_t* fmt) {
    Platform::Audio::WaveFormat format;
    format.formatTag = u16At(fmt);
    format.channels = u16At(fmt + 2);
    format.samplesPerSec = u32At(fmt + 4);
    format.avgBytesPerSec = u32At(fmt + 8);
    format.blockAlign = u16At(fmt + 12);
    format.bitsPerSample = u16At(fmt + 14);
    format.extraSize = 0;
    return format;
}

}  // namespace

std::shared_ptr<WaveContainer> readWaveFile(IO::StreamIO::IOrvexStreamReader& reader, std::string& fault) {
    const uint64_t size = reader.getSize();
    std::array<uint8_t, kRiffHeaderBytes> riff{};
    if (size < kRiffHeaderBytes || !readAt(reader, 0, riff.data(), kRiffHeaderBytes)) {
        fault = "shorter than a RIFF header";
        return nullptr;
    }
    if (std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        fault = "not a RIFF WAVE file";
        return nullptr;
    }
    bool haveFormat = false;
    Platform::Audio::WaveFormat format;
    uint64_t position = kRiffHeaderBytes;
    while (position + kChunkHeaderBytes <= size) {
        std::array<uint8_t, kChunkHeaderBytes> header{};
        if (!readAt(reader, static_cast<uint32_t>(position), header.data(), kChunkHeaderBytes)) {
            fault = "unreadable chunk header";
            return nullptr;
        }
        const uint8_t* id = header.data();
        const uint32_t chunkSize = u32At(header.data() + 4);
        const uint64_t body = position + kChunkHeaderBytes;
        if (chunkSize > size - body) {
            fault = "chunk " + chunkName(id) + " of " + std::to_string(chunkSize) + " bytes runs past the end";
            return nullptr;
        }
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (chunkSize != kFmtChunkBytes) {
                fault = "fmt chunk of " + std::to_string(chunkSize) + " bytes (16 expected)";
                return nullptr;
            }
            std::array<uint8_t, kFmtChunkBytes> fmt{};
            if (!readAt(reader, static_cast<uint32_t>(body), fmt.data(), kFmtChunkBytes)) {
                fault = "unreadable fmt chunk";
                return nullptr;
            }
            format = formatFrom(fmt.data());
            if (format.formatTag != Platform::Audio::kWaveFormatPcm) {
                fault = "not PCM (format tag " + std::to_string(format.formatTag) + ")";
                return nullptr;
            }
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!haveFormat) {
                fault = "data chunk before any fmt chunk";
                return nullptr;
            }
            if (chunkSize == 0) {
                fault = "empty data chunk";
                return nullptr;
            }
            auto wave = std::make_shared<WaveContainer>();
            wave->setFormat(format);
            wave->allocate(chunkSize);
            if (!readAt(reader, static_cast<uint32_t>(body), wave->getData(), chunkSize)) {
                fault = "unreadable data chunk";
                return nullptr;
            }
            return wave;
        }
        // Chunks are padded to an even length.
        position = body + chunkSize + (chunkSize & 1u);
    }
    fault = haveFormat ? "no data chunk" : "no fmt chunk";
    return nullptr;
}

}  // namespace Orvex::AudioSystem::XAudio2
