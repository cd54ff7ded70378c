#pragma once
// Scene 9: the world map between dives, a script ("Script/WorldMap/WorldMap.lua") started with
// the setting data's boot mode. It fades in, then feeds the script frames and changes to the
// scene the script names.
#include <cstdint>
#include <memory>

#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/SceneServices.h"

namespace Orvex::Graphics {
class OxFadeScreenEffect;
}
namespace Fenwarrow {
class CScriptController;
}

namespace Fenwarrow::Scene {

class CWorldMap : public Orvex::SceneController::OxSceneBase {
public:
    static constexpr uint32_t kScriptBlockSize = 2097152;

    CWorldMap(ISceneContext& context, SceneServices services);
    ~CWorldMap() override;

    bool initialize() override;
    bool update() override;
    bool draw() override;

    // The script's "save": writes the common save; false (with a line on stderr) when it could
    // not be written.
    bool save();

    bool isInputBlocked() const { return inputBlocked_; }
    const std::shared_ptr<CScriptController>& getScript() const { return script_; }

private:
    void startFadeIn();

    ISceneContext& context_;
    SceneServices services_;
    std::shared_ptr<CScriptController> script_;
    bool inputBlocked_ = true;
    // The fade-in calls back into this scene; a scene that goes first takes its callback back.
    std::weak_ptr<Orvex::Graphics::OxFadeScreenEffect> fade_;
    uint32_t fadeCallback_ = 0;
};

}  // namespace Fenwarrow::Scene
