#include "game/dungeon/CChipInfo.h"

#include <utility>

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow::Dungeon {

bool CChipInfo::loadTexture(Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                            Orvex::Graphics::IOrvexTextureManager* textureManager) {
    releaseTexture();
    if (textureManager == nullptr || texturePath_.empty() || !reader.open(texturePath_)) {
        return false;
    }
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> texture;
    const bool made = textureManager->createTexture(texture.put(), &reader) >= 0 && texture != nullptr;
    reader.close();
    if (made) {
        texture_ = std::move(texture);
    }
    return made;
}

bool CChipInfo::serialize(Orvex::Serialization::OxSerializer& serializer) {
    serializer.serializeWString(texturePath_);
    if (serializer.isWriting()) {
        serializer.writeByte(autoTile_);
        return true;
    }
    return serializer.readByte(autoTile_);
}

}  // namespace Fenwarrow::Dungeon
