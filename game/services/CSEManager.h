#pragma once
// Keeps the sound effects that scripts start without holding them, until each has stopped.
//
// Sources arrive from script modules, which may be closed on a floor worker while the game
// thread purges, so the list has a lock of its own.
#include <boost/noncopyable.hpp>
#include <memory>
#include <mutex>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/system/shared_vector_ptr.h"

namespace Fenwarrow {

class CSEManager : boost::noncopyable {
public:
    CSEManager() = default;
    virtual ~CSEManager() = default;

    // Appends a started source; an empty pointer is ignored.
    void addSource(std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> source);
    // Drops every stopped source; playing and paused ones stay, in their order.
    void purge();

private:
    std::mutex lock_;
    Orvex::System::shared_vector_ptr<Orvex::AudioSystem::IOrvexAudioSource> sources_;
};

}  // namespace Fenwarrow
