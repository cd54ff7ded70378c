#include "game/services/CSEManager.h"

#include <utility>

namespace Fenwarrow {

using Orvex::AudioSystem::IOrvexAudioSource;

void CSEManager::addSource(std::shared_ptr<IOrvexAudioSource> source) {
    if (!source) {
        return;
    }
    std::lock_guard guard(lock_);
    sources_.push_back(std::move(source));
}

void CSEManager::purge() {
    Orvex::System::shared_vector_ptr<IOrvexAudioSource> dropped;
    {
        std::lock_guard guard(lock_);
        Orvex::System::shared_vector_ptr<IOrvexAudioSource> kept;
        for (const auto& source : sources_) {
            if (source->getState() == Orvex::AudioSystem::kAudioStateStopped) {
                dropped.push_back(source);
            } else {
                kept.push_back(source);
            }
        }
        sources_ = std::move(kept);
    }
    // The dropped sources are released here, outside the lock.
}

}  // namespace Fenwarrow
