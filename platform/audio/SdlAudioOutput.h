#pragma once
// An SDL audio device that pulls float stereo frames from a render function on SDL's audio
// thread, in periods of about 10 ms.
#include <cstdint>
#include <functional>
#include <memory>

namespace Platform::Audio {

class SdlAudioOutput {
public:
    using Render = std::function<void(float* interleavedStereo, uint32_t frames)>;

    // The system's sound device, else SDL's silent driver (which keeps the real rate, so what is
    // timed by sound still runs); null when neither opens.
    static std::unique_ptr<SdlAudioOutput> open(Render render);
    ~SdlAudioOutput();  // stops the device; no render call runs after it
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    uint32_t sampleRate() const { return sampleRate_; }
    void start();

private:
    SdlAudioOutput() = default;
    static std::unique_ptr<SdlAudioOutput> openWithDriver(const char* driver, const Render& render);
    static void callback(void* self, uint8_t* stream, int length);

    Render render_;
    uint32_t device_ = 0;
    uint32_t sampleRate_ = 0;
};

}  // namespace Platform::Audio
