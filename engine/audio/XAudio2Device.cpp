#include "engine/audio/XAudio2Device.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/audio/OxNullAudioSource.h"
#include "engine/audio/XAudio2Source.h"
#include "engine/audio/XAudio2SourceVorbis.h"
#include "engine/audio/WaveFile.h"
#include "engine/system/OxCOMInitalize.h"
#include "engine/system/OxStringConvert.h"

namespace Orvex::AudioSystem::XAudio2 {
namespace {

using Thread::OxCriticalLock;

constexpr int32_t kComRefused = -1;
// Says on stderr which sound file is refused and why.
void reportRefusedSound(const std::u16string& name, const std::string& fault) {
    std::fprintf(stderr, "Cannot play the sound file %s: %s\n", System::narrow(name).c_str(), fault.c_str());
    std::fflush(stderr);
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
        reportRefusedSound(name, "the file cannot be opened");
        return nullptr;
    }
    OpenEntry entry(reader);
    std::string fault;
    const std::shared_ptr<WaveContainer> wave = readWaveFile(reader, fault);
    if (!wave) {
        reportRefusedSound(name, fault);
        return nullptr;
    }
    auto source = std::make_shared<XAudio2Source>(shared_from_this(), engine_, kSourceTypeWave);
    if (!source->initialize(wave)) {
        const Platform::Audio::WaveFormat& format = wave->getFormat();
        reportRefusedSound(name, "a format the sound engine cannot play (" + std::to_string(format.channels) +
                                     " channels, " + std::to_string(format.bitsPerSample) + " bits, block align " +
                                     std::to_string(format.blockAlign) + ")");
        return nullptr;
    }
    waveCache_.emplace(name, wave);  // an existing entry of that name stays
    return source;
}

std::shared_ptr<IOrvexAudioSource> XAudio2Device::createVorbisSource(const std::u16string& name,
                                                                     IO::StreamIO::IOrvexStreamReader& reader) {
    auto source = std::make_shared<XAudio2SourceVorbis>(shared_from_this(), engine_);
    if (!source->open(name, reader)) {
        reportRefusedSound(name, "not an Ogg Vorbis stream that can be played");
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
