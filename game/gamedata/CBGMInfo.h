#pragma once
// The background music that plays: its path (what the saves keep) and its streaming source.
#include <memory>
#include <string>

#include "engine/audio/IOrvexAudioSource.h"
#include "engine/serialization/IOrvexSerializeObject.h"

namespace Fenwarrow {

class CBGMInfo : public Orvex::Serialization::IOrvexSerializeObject {
public:
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    void reset() {
        path.clear();
        source.reset();
    }

    std::u16string path;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> source;
};

}  // namespace Fenwarrow
