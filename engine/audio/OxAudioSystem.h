#pragma once
// The process's audio system: owns the one audio device, a real one when output can be had,
// else a silent one, so that the rest of the game never asks about sound hardware.
#include <boost/noncopyable.hpp>

#include <memory>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/system/singleton.h"

namespace Orvex::AudioSystem {

class OxAudioSystem : boost::noncopyable {
public:
    static OxAudioSystem* instance() { return System::singleton<OxAudioSystem>::instance(); }
    static void release() { System::singleton<OxAudioSystem>::release(); }
    virtual ~OxAudioSystem();

    // Makes the device once; 0 in every case (the silent device when output fails). The master
    // volume (1.0 unchanged) scales every sound of the device; the game passes its setting.
    int32_t initialize(float masterVolume = 0.5f);
    void terminate();
    void update(float elapsed);
    // Empty before initialize and after terminate.
    std::shared_ptr<IOrvexAudioDevice> getDevice() const { return device_; }

private:
    friend class System::singleton<OxAudioSystem>;
    OxAudioSystem() = default;

    std::shared_ptr<IOrvexAudioDevice> device_;
};

}  // namespace Orvex::AudioSystem
