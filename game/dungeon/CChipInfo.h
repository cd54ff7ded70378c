#pragma once
// One chip texture of a chip layer: the image's path in the archives, the texture made from it,
// and whether walls drawn from it are assembled from wall pieces.
#include <cstdint>
#include <string>

#include "engine/io/OxStreamIO.h"
#include "engine/serialization/IOrvexSerializeObject.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/IOrvexTextureManager.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow::Dungeon {

class CChipInfo : public Orvex::Serialization::IOrvexSerializeObject {
public:
    CChipInfo() = default;
    CChipInfo(const CChipInfo&) = delete;
    CChipInfo& operator=(const CChipInfo&) = delete;

    // Releases the current texture, then reads the image at the path through the reader and
    // makes its texture. False (texture null) when the file cannot be read or the texture made.
    bool loadTexture(Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                     Orvex::Graphics::IOrvexTextureManager* textureManager);
    void releaseTexture() { texture_.reset(); }

    // Path and auto-tile flag. The texture is not touched: after reading, the owner reloads it
    // with the game's reader (it is not reachable from a serializer).
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    const std::u16string& getTexturePath() const { return texturePath_; }
    void setTexturePath(const std::u16string& path) { texturePath_ = path; }
    Orvex::Graphics::IOrvexTexture* getTexture() const { return texture_.get(); }
    bool isAutoTile() const { return autoTile_ != 0; }
    void setAutoTile(bool autoTile) { autoTile_ = autoTile ? 1 : 0; }

private:
    std::u16string texturePath_;
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture_;  // null when none is loaded
    uint8_t autoTile_ = 0;
};

}  // namespace Fenwarrow::Dungeon
