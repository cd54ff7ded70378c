#include "game/scene/CAdventure.h"

#include <string>

#include "engine/system/OxSystemFacade.h"
#include "engine/scene/OxSceneController.h"
#include "game/layer/CSceneLayer.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/services/CSettingDataManager.h"

namespace Fenwarrow::Scene {

CAdventure::CAdventure(ISceneContext& context, SceneServices services)
    : context_(context), services_(std::move(services)) {}

CAdventure::~CAdventure() {
    layer_.reset();
    if (Orvex::Graphics::IOrvexRenderer* renderer = context_.getRenderer()) {
        if (Orvex::Graphics::IOrvexTextureManager* textures = renderer->getTextureManager()) {
            textures->releaseUnused();
        }
    }
    if (const auto device = context_.getAudioDevice()) {
        device->releaseUnusedWaves();
    }
}

bool CAdventure::initialize() {
    if (Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey()) {
        keys->clearAllKeys();
    }
    const auto& path = context_.getSettingDataManager()->getADVSetting().path;
    const std::u16string story(path.data(), std::char_traits<char16_t>::length(path.data()));
    SceneLayer::CSceneLayerManager* layers = services_.layerManager ? services_.layerManager() : nullptr;
    layer_ = services_.makeAdventureLayer ? services_.makeAdventureLayer(story) : nullptr;
    // A refused layer is not alive: the scene then moves on at its first update.
    if (layer_ == nullptr || layers == nullptr || !layers->addLayer(layer_)) {
        Orvex::System::errorOutput(u"Script/ADV/ADVSystem.lua: the adventure scene's story cannot be shown");
    }
    starting_ = false;
    return true;
}

bool CAdventure::update() {
    if (starting_ || leaving_ || (layer_ != nullptr && layer_->isAlive())) {
        return true;
    }
    leaving_ = true;
    if (getSceneController() != nullptr) {
        getSceneController()->changeScene(context_.getSettingDataManager()->getADVSetting().nextScene);
    }
    return true;
}

}  // namespace Fenwarrow::Scene
