#include "game/scriptcommand/KnownGameResources.h"

#include "game/gamedata/CGameDataManager.h"
#include "game/services/CCommonDataManager.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "graphics/include/OxRefPtr.h"

namespace Fenwarrow::ScriptCommand {

using Orvex::AudioSystem::IOrvexAudioSource;
using Orvex::Graphics::IOrvexTexture;

namespace {

bool lent(lua_State* L, IGameContext* game, const void* given) {
    return game != nullptr && given != nullptr && ScriptArguments::isLentObject(L, given);
}

}  // namespace

std::shared_ptr<IOrvexAudioSource> findGameSound(lua_State* L, IGameContext* game, const void* given) {
    if (!lent(L, game, given)) {
        return nullptr;
    }
    if (CGameDataManager* data = game->getGameDataManager()) {
        if (auto music = data->getBGMSource(); music != nullptr && music.get() == given) {
            return music;
        }
    }
    for (int32_t index = 0; index < CCommonDataManager::kSystemSECount; ++index) {
        if (auto sound = game->getSystemSE(index); sound != nullptr && sound.get() == given) {
            return sound;
        }
    }
    return nullptr;
}

IOrvexTexture* findCommonTexture(lua_State* L, IGameContext* game, const void* given) {
    if (!lent(L, game, given)) {
        return nullptr;
    }
    for (int32_t index = 0; index < CCommonDataManager::kTextureCount; ++index) {
        // The temporary reference goes with the pointer; the common data keep their own.
        const auto texture = Orvex::Graphics::OxRefPtr<IOrvexTexture>::adopt(game->getCommonTexture(index));
        if (texture && texture.get() == given) {
            return texture.get();
        }
    }
    return nullptr;
}

}  // namespace Fenwarrow::ScriptCommand
