#include "engine/movie/PcmConversion.h"

namespace Theora {

uint32_t convertToPcm16(const float* const* pcm, uint32_t channels, uint32_t frames, int16_t* out, uint32_t capacity,
                        uint32_t& samplesWritten) {
    samplesWritten = 0;
    if (channels == 0) {
        return 0;
    }
    for (uint32_t frame = 0; frame < frames; ++frame) {
        for (uint32_t channel = 0; channel < channels; ++channel) {
            if (samplesWritten == capacity) {
                return frame;
            }
            // Compare in float first: a huge value must not overflow the integer conversion.
            const float scaled = pcm[channel][frame] * 32767.0f;
            int32_t value;
            if (scaled >= 32767.0f) {
                value = 32767;
            } else if (scaled <= -32768.0f) {
                value = -32768;
            } else if (scaled != scaled) {
                value = 0;
            } else {
                value = static_cast<int32_t>(scaled);
            }
            out[samplesWritten++] = static_cast<int16_t>(value);
        }
    }
    return frames;
}

}  // namespace Theora
