#include "platform/audio/SdlAudioOutput.h"

#include <SDL.h>

#include <cstring>

#include "platform/kernel/DebugOutput.h"

namespace Platform::Audio {
namespace {

constexpr int kRequestedRate = 48000;
constexpr Uint16 kPeriodFrames = 512;  // about 10 ms at the usual rates
constexpr int kChannels = 2;

}  // namespace

std::unique_ptr<SdlAudioOutput> SdlAudioOutput::open(Render render) {
    if (auto output = openWithDriver(nullptr, render)) {
        return output;
    }
    // Without a sound device the game still needs an audio clock: movies with sound are timed
    // by their voice. SDL's silent driver consumes the mix at the real rate.
    auto output = openWithDriver("dummy", render);
    if (output) {
        Platform::Kernel::errorOutput(u"No sound device could be opened: the game runs without sound.");
    }
    return output;
}

std::unique_ptr<SdlAudioOutput> SdlAudioOutput::openWithDriver(const char* driver, const Render& render) {
    if (driver != nullptr) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    }
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (driver != nullptr) {
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    if (!started) {
        return nullptr;
    }
    std::unique_ptr<SdlAudioOutput> output(new SdlAudioOutput());
    output->render_ = render;

    SDL_AudioSpec wanted{};
    wanted.freq = kRequestedRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = kChannels;
    wanted.samples = kPeriodFrames;
    wanted.callback = &SdlAudioOutput::callback;
    wanted.userdata = output.get();
    SDL_AudioSpec obtained{};
    // SDL converts format and channel count for us; only the rate is taken as the device has it.
    const SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0 || obtained.freq <= 0) {
        if (device != 0) {
            SDL_CloseAudioDevice(device);
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    output->device_ = device;
    output->sampleRate_ = static_cast<uint32_t>(obtained.freq);
    return output;
}

SdlAudioOutput::~SdlAudioOutput() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);  // waits for a running callback
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlAudioOutput::start() { SDL_PauseAudioDevice(device_, 0); }

void SdlAudioOutput::callback(void* self, uint8_t* stream, int length) {
    auto* output = static_cast<SdlAudioOutput*>(self);
    const auto frames = static_cast<uint32_t>(length) / (sizeof(float) * kChannels);
    if (frames == 0) {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    output->render_(reinterpret_cast<float*>(stream), frames);
}

}  // namespace Platform::Audio
