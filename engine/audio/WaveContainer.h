#pragma once
// PCM sample bytes with their format.
#include <cstdint>
#include <memory>

#include "platform/audio/AudioTypes.h"

namespace Orvex::AudioSystem::XAudio2 {

class WaveContainer {
public:
    // A PCM format from its rate, channels and bits: block align and byte rate computed.
    void setFormat(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample);
    void setFormat(const Platform::Audio::WaveFormat& format) { format_ = format; }
    // Replaces the data with n zeroed bytes.
    void allocate(uint32_t size);

    uint8_t* getData() const { return data_.get(); }
    uint32_t getSize() const { return size_; }
    const Platform::Audio::WaveFormat& getFormat() const { return format_; }

private:
    std::shared_ptr<uint8_t[]> data_;
    uint32_t size_ = 0;
    Platform::Audio::WaveFormat format_;
};

}  // namespace Orvex::AudioSystem::XAudio2
