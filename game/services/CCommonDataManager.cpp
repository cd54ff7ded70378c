#include "game/services/CCommonDataManager.h"

#include <array>

#include "engine/system/OxWideFormat.h"
#include "engine/system/OxSystemFacade.h"

namespace Fenwarrow {

using Orvex::Graphics::IOrvexTexture;

namespace {

constexpr std::array<const char16_t*, CCommonDataManager::kTextureCount> kTexturePaths = {
    u"Common/Texture/GeneralWindow/Frame.png",
    u"Common/Texture/GeneralWindow/Icon.png",
    u"Common/Texture/Condition.dds",
    u"Common/Texture/Illusion/Item.tga",
};

// 5-9 repeat the decide sound as sources of their own, so that several can play at once.
constexpr std::array<const char16_t*, CCommonDataManager::kSystemSECount> kSystemSEPaths = {
    u"SE/SystemSE/se000.wav", u"SE/SystemSE/se001.wav", u"SE/SystemSE/se002.wav", u"SE/SystemSE/se003.wav",
    u"SE/SystemSE/se004.wav", u"SE/SystemSE/se000.wav", u"SE/SystemSE/se000.wav", u"SE/SystemSE/se000.wav",
    u"SE/SystemSE/se000.wav", u"SE/SystemSE/se000.wav", u"SE/Jingle/jg000.wav",   u"SE/Jingle/jg001.wav",
    u"SE/Jingle/jg002.wav",   u"SE/Jingle/jg003.wav",   u"SE/Jingle/jg004.wav",
};

IOrvexTexture* loadTexture(Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                           Orvex::Graphics::IOrvexTextureManager* textureManager, const char16_t* path) {
    // The screens do without a missing texture; the line tells why it is not drawn.
    if (textureManager == nullptr || !reader.open(path)) {
        Orvex::System::debugOutput(Orvex::System::formatWide(u"Common texture not found: %s\n", path));
        return nullptr;
    }
    IOrvexTexture* texture = nullptr;
    if (textureManager->createTexture(&texture, &reader) < 0) {
        Orvex::System::debugOutput(Orvex::System::formatWide(u"Common texture not loaded: %s\n", path));
        texture = nullptr;
    }
    reader.close();
    return texture;
}

}  // namespace

CCommonDataManager::~CCommonDataManager() { releaseTextures(); }

bool CCommonDataManager::initialize(Orvex::IO::StreamIO::IOrvexStreamReader& reader,
                                    Orvex::Graphics::IOrvexTextureManager* textureManager,
                                    Orvex::AudioSystem::IOrvexAudioDevice& device) {
    releaseTextures();
    systemSounds_.clear();
    for (const char16_t* path : kTexturePaths) {
        textures_.push_back(Orvex::Graphics::OxRefPtr<IOrvexTexture>::adopt(loadTexture(reader, textureManager, path)));
    }
    for (const char16_t* path : kSystemSEPaths) {
        systemSounds_.push_back(device.createSource(path, &reader, Orvex::AudioSystem::kSourceTypeWave));
    }
    return true;
}

IOrvexTexture* CCommonDataManager::getTexture(int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= textures_.size()) {
        return nullptr;
    }
    IOrvexTexture* texture =
        Orvex::Graphics::OxRefPtr<IOrvexTexture>(textures_[static_cast<std::size_t>(index)]).detach();
    return texture;
}

std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> CCommonDataManager::getSystemSE(int32_t index) const {
    if (index < 0) {
        return nullptr;
    }
    return systemSounds_.at(static_cast<std::size_t>(index));
}

void CCommonDataManager::releaseTextures() { textures_.clear(); }

}  // namespace Fenwarrow
