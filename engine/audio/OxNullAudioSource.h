#pragma once
// The source of a silent device or of a file that could not be loaded: it answers every call
// as if it had played at once.
#include "engine/audio/IOrvexAudioSource.h"

namespace Orvex::AudioSystem {

class OxNullAudioSource : public IOrvexAudioSource {
public:
    explicit OxNullAudioSource(uint32_t sourceType) : sourceType_(sourceType) {}

    bool isNull() override { return true; }
    uint32_t getSourceType() override { return sourceType_; }
    uint32_t getState() override { return kAudioStateStopped; }
    bool play() override { return true; }
    bool playNew() override { return true; }
    bool stop() override { return true; }
    void pause() override {}
    void resume() override {}
    bool setLoopCount(uint32_t) override { return true; }
    uint32_t getLoopCount() override { return 0; }

private:
    uint32_t sourceType_;
};

}  // namespace Orvex::AudioSystem
