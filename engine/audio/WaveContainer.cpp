#include "engine/audio/WaveContainer.h"

namespace Orvex::AudioSystem::XAudio2 {

void WaveContainer::setFormat(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample) {
    format_ = {};
    format_.formatTag = Platform::Audio::kWaveFormatPcm;
    format_.channels = channels;
    format_.samplesPerSec = samplesPerSec;
    format_.bitsPerSample = bitsPerSample;
    format_.blockAlign = static_cast<uint16_t>(bitsPerSample / 8 * channels);
    format_.avgBytesPerSec = format_.blockAlign * samplesPerSec;
    format_.extraSize = 0;
}

void WaveContainer::allocate(uint32_t size) {
    data_ = std::shared_ptr<uint8_t[]>(new uint8_t[size]());
    size_ = size;
}

}  // namespace Orvex::AudioSystem::XAudio2
