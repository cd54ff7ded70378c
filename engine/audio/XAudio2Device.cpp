#include "engine/audio/XAudio2Device.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/audio/OxNullAudioSource.h"
#include "engine/audio/XAudio2Source.h"
#include "engine/audio/XAudio2SourceVorbis.h"
#include "engine/system/OxCOMInitalize.h"

namespace Orvex::AudioSystem::XAudio2 {
namespace {

using Thread::OxCriticalLock;

constexpr int32_t kComRefused = -1;
constexpr uint32_t kWaveFmtChunkSize = 16;

uint16_t u16At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

bool tagAt(const std::vector<uint8_t>& bytes, size_t offset, const char* tag) {
    return std::memcmp(bytes.data() + offset, tag, 4) == 0;
}

// Closes an opened reader on every way out of the WAV loader.
class OpenEntry {
public:
    explicit OpenEntry(IO::StreamIO::IOrvexStreamReader& reader) : reader_(reader) {}
    ~OpenEntry() { reader_.close(); }
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;

private:
    IO::StreamIO::IOrvexStreamReader& reader_;
};

}  // namespace

XAudio2Device::XAudio2Device(const Platform::Audio::EngineOptions& options, float masterVolume)
    : options_(options), masterVolume_(masterVolume) {}

XAudio2Device::~XAudio2Device() { terminate(); }

bool XAudio2Device::initialize() {
    OxCriticalLock lock(lock_);
    // A thread unknown to the thread manager still gets its runtime; only a refusal fails.
    if (Utility::OxCOMInitalize::instance()->initialize() == kComRefused) {
        return false;
    }
    if (masteringVoice_ != nullptr) {
        masteringVoice_->destroyVoice();  // an earlier engine's output stops with it
        masteringVoice_ = nullptr;
    }
    engine_ = Platform::Audio::AudioEngine::create(options_);
    Platform::Audio::MasteringVoice* mastering = nullptr;
    if (!Platform::Audio::audioSucceeded(engine_->createMasteringVoice(&mastering, 0, 0))) {
        engine_.reset();
        return false;
    }
    masteringVoice_ = mastering;
    masteringVoice_->setVolume(masterVolume_);
    return true;
}

void XAudio2Device::terminate() {
    OxCriticalLock lock(lock_);
    clearWaveCache();
    if (masteringVoice_ != nullptr) {
        masteringVoice_->destroyVoice();
        masteringVoice_ = nullptr;
    }
    // Sources still alive keep the engine until they are destroyed; it no longer plays.
    engine_.reset();
}

void XAudio2Device::update(float /*elapsed*/) {}

std::shared_ptr<IOrvexAudioSource> XAudio2Device::createSource(const std::u16string& name,
                                                               IO::StreamIO::IOrvexStreamReader* reader,
                                                               uint32_t sourceType) {
    OxCriticalLock lock(lock_);
    std::shared_ptr<IOrvexAudioSource> source;
    if (engine_ && reader != nullptr) {
        if (sourceType == kSourceTypeWave) {
            source = createWaveSource(name, *reader);
        } else if (sourceType == kSourceTypeVorbis) {
            source = createVorbisSource(name, *reader);
        }
    }
    return source ? source : std::make_shared<OxNullAudioSource>(sourceType);
}

std::shared_ptr<IOrvexAudioSource> XAudio2Device::createWaveSource(const std::u16string& name,
                                                                   IO::StreamIO::IOrvexStreamReader& reader) {
    if (!reader.open(name)) {
        return nullptr;
    }
    OpenEntry entry(reader);
    std::vector<uint8_t> header;
    if (!reader.readToVector(header, kWaveHeaderSize) || header.size() < kWaveHeaderSize) {
        return nullptr;
    }
    if (!tagAt(header, 0, "RIFF") || !tagAt(header, 8, "WAVE") || !tagAt(header, 12, "fmt ") ||
        u32At(header, 16) != kWaveFmtChunkSize || u16At(header, 20) != Platform::Audio::kWaveFormatPcm) {
        return nullptr;
    }
    Platform::Audio::WaveFormat format;
    format.formatTag = Platform::Audio::kWaveFormatPcm;
    format.channels = u16At(header, 22);
    format.samplesPerSec = u32At(header, 24);
    format.avgBytesPerSec = u32At(header, 28);
    format.blockAlign = u16At(header, 32);
    format.bitsPerSample = u16At(header, 34);
    format.extraSize = 0;
    // The declared size must fit in the entry: no allocation beyond the file, no unread tail.
    const uint32_t dataSize = u32At(header, 40);
    const uint32_t entrySize = reader.getSize();
    if (dataSize == 0 || entrySize < kWaveHeaderSize || dataSize > entrySize - kWaveHeaderSize) {
        return nullptr;
    }
    auto wave = std::make_shared<WaveContainer>();
    wave->setFormat(format);
    wave->allocate(dataSize);
    uint32_t got = 0;
    if (!reader.seek(kWaveHeaderSize) || !reader.read(wave->getData(), dataSize, &got) || got != dataSize) {
        return nullptr;
    }
    auto source = std::make_shared<XAudio2Source>(shared_from_this(), engine_, kSourceTypeWave);
    if (!source->initialize(wave)) {
        return nullptr;  // a format the engine cannot play
    }
    waveCache_.emplace(name, wave);  // an existing entry of that name stays
    return source;
}

std::shared_ptr<IOrvexAudioSource> XAudio2Device::createVorbisSource(const std::u16string& name,
                                                                     IO::StreamIO::IOrvexStreamReader& reader) {
    auto source = std::make_shared<XAudio2SourceVorbis>(shared_from_this(), engine_);
    if (!source->open(name, reader)) {
        return nullptr;
    }
    return source;
}

std::shared_ptr<IOrvexAudioSource> XAudio2Device::createNullSource(uint32_t sourceType) {
    OxCriticalLock lock(lock_);
    return std::make_shared<OxNullAudioSource>(sourceType);
}

void XAudio2Device::clearWaveCache() {
    OxCriticalLock lock(lock_);
    waveCache_.clear();
}

void XAudio2Device::releaseUnusedWaves() {
    OxCriticalLock lock(lock_);
    std::vector<std::u16string> unused;
    for (const auto& [name, wave] : waveCache_) {
        if (wave.use_count() == 1) {
            unused.push_back(name);
        }
    }
    for (const std::u16string& name : unused) {
        waveCache_.erase(name);
    }
}

bool XAudio2Device::hasWave(const std::u16string& name) {
    OxCriticalLock lock(lock_);
    return waveCache_.count(name) != 0;
}

void XAudio2Device::releaseWave(const std::u16string& name) {
    OxCriticalLock lock(lock_);
    const auto it = waveCache_.find(name);
    if (it != waveCache_.end() && it->second.use_count() == 1) {
        waveCache_.erase(it);
    }
}

void XAudio2Device::stopAll() {
    OxCriticalLock lock(lock_);
    for (XAudio2Source* source : sources_) {
        source->stop();
    }
}

std::shared_ptr<Platform::Audio::AudioEngine> XAudio2Device::getEngine() {
    OxCriticalLock lock(lock_);
    return engine_;
}

void XAudio2Device::registerSource(XAudio2Source* source) {
    OxCriticalLock lock(lock_);
    sources_.push_back(source);
}

void XAudio2Device::unregisterSource(XAudio2Source* source) {
    OxCriticalLock lock(lock_);
    sources_.remove(source);
}

}  // namespace Orvex::AudioSystem::XAudio2
