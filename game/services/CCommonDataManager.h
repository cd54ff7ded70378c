#pragma once
// The resources every screen shares, loaded once at start-up: four textures (window frame,
// window icons, condition icons, the item picture shown under an illusion) and fifteen system
// sound effects.
#include <boost/noncopyable.hpp>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/audio/IOrvexAudioDevice.h"
#include "engine/io/OxStreamIO.h"
#include "engine/system/shared_vector_ptr.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow {

class CCommonDataManager : boost::noncopyable {
public:
    static constexpr int32_t kTextureCount = 4;
    static constexpr int32_t kSystemSECount = 15;

    CCommonDataManager() = default;
    virtual ~CCommonDataManager();

    // Loads every texture through the texture manager (borrowed) and makes every system sound
    // on the device, all from the reader of scripts and sound effects. A texture that cannot
    // be loaded leaves an empty entry and a sound that cannot be made is the device's null
    // source, so start-up goes on without them. True.
    bool initialize(Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                    Orvex::Graphics::IOrvexTextureManager* textureManager,
                    Orvex::AudioSystem::IOrvexAudioDevice& device);

    // The texture with one more reference, which the caller releases; null for an empty entry
    // or an index outside 0-3 (scripts pass indices of their own).
    Orvex::Graphics::IOrvexTexture* getTexture(int32_t index) const;
    // The source (shared, not copied); null for an index outside 0-14.
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) const;

private:
    void releaseTextures();

    std::vector<Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>> textures_;  // may hold null
    Orvex::System::shared_vector_ptr<Orvex::AudioSystem::IOrvexAudioSource> systemSounds_;
};

}  // namespace Fenwarrow
