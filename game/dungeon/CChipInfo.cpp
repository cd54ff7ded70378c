#include "game/dungeon/CChipInfo.h"

#include "engine/serialization/OxSerializer.h"

namespace Fenwarrow::Dungeon {

void CChipInfo::releaseTexture() {
    if (texture_ != nullptr) {
        texture_->release();
        texture_ = nullptr;
    }
}

bool CChipInfo::loadTexture(Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                            Orvex::Graphics::IOrvexTextureManager* textureManager) {
    releaseTexture();
    if (textureManager == nullptr || texturePath_.empty() || !reader.open(texturePath_)) {
        return false;
    }
    Orvex::Graphics::IOrvexTexture* texture = nullptr;
    const bool made = textureManager->createTexture(&texture, &reader) >= 0 && texture != nullptr;
    reader.close();
    texture_ = made ? texture : nullptr;
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
