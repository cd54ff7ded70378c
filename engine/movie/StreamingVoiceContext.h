#pragma once
// The movie voice's callback: wakes the voice-feeding thread whenever a buffer has been played.
#include "platform/audio/AudioTypes.h"
#include "platform/kernel/Waitable.h"

namespace Theora {

class StreamingVoiceContext : public Platform::Audio::VoiceCallback {
public:
    StreamingVoiceContext() = default;
    StreamingVoiceContext(const StreamingVoiceContext&) = delete;
    StreamingVoiceContext& operator=(const StreamingVoiceContext&) = delete;

    void onBufferEnd(void* context) override;

    // Auto-reset; set once per finished buffer.
    Platform::Kernel::KernelEvent& bufferEndEvent() { return bufferEnd_; }

private:
    Platform::Kernel::KernelEvent bufferEnd_{false, false};
};

}  // namespace Theora
