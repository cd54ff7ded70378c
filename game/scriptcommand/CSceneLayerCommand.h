#pragma once
// The "SceneLayer" module: scripts ask about the game's stack of scene layers, switch its focus,
// and push a dialogue (adventure) layer or a general-window layer over the current scene.
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "game/services/CScriptCommandBase.h"

namespace Fenwarrow::SceneLayer {
class CSceneLayer;
class CSceneLayerManager;
}  // namespace Fenwarrow::SceneLayer

namespace Fenwarrow::ScriptCommand {

class CSceneLayerCommand : public CScriptCommandBase<CSceneLayerCommand> {
public:
    // A new layer running the script at the path; null when that kind cannot be made.
    using LayerFactory = std::function<std::shared_ptr<SceneLayer::CSceneLayer>(const std::u16string& script)>;

    struct Services {
        // The game's layer stack; null while there is none (the functions then do nothing).
        std::function<SceneLayer::CSceneLayerManager*()> layerManager;
        LayerFactory makeAdventureLayer;
        LayerFactory makeGeneralWindowLayer;
    };

    explicit CSceneLayerCommand(Services services) : services_(std::move(services)) {}
    // A module over the layer stack alone: neither push function can make a layer.
    explicit CSceneLayerCommand(std::function<SceneLayer::CSceneLayerManager*()> layerManager)
        : CSceneLayerCommand(Services{std::move(layerManager), {}, {}}) {}

    bool registerFunctions(CScriptController& controller) override;

    SceneLayer::CSceneLayerManager* getLayerManager() const {
        return services_.layerManager ? services_.layerManager() : nullptr;
    }
    const Services& getServices() const { return services_; }

private:
    Services services_;
};

}  // namespace Fenwarrow::ScriptCommand
