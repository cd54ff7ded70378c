#pragma once
// Scene 11: the extras menu, a script ("Script/Menu/Extra/Main.lua") that shows the rankings,
// plays movies and opens the developer and test scenes. Scenes it opens go on top of it; when
// one of them later changes to scene 11, a relay instance of this scene returns to the waiting
// extras scene instead of starting a second menu.
#include <cstdint>
#include <memory>

#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/SceneServices.h"

namespace Fenwarrow {
class CGameDataManager;
class CScriptController;
class CSettingDataManager;
}  // namespace Fenwarrow

namespace Fenwarrow::Scene {

class CExtra : public Orvex::SceneController::OxSceneBase {
public:
    static constexpr uint32_t kScriptBlockSize = 1048576;

    CExtra(ISceneContext& context, SceneServices services);
    ~CExtra() override;

    bool initialize() override;
    bool update() override;
    bool draw() override;
    bool finalize() override { return true; }
    bool onComeBack(int32_t returningSceneId) override;

    // Scene 5 ends the extras (a change); any other scene goes on top of them and marks the way
    // back. The music stops unless the scene is the result.
    void jumpScene(int32_t scene);
    // Drops the textures and sounds only the caches still hold.
    void cleanUp();
    // The hand-over to the result scene for ranking record `index` (see prepareResultView).
    bool setResultInfo(int32_t index);

    // True while a scene the extras opened runs above them (one flag for the process).
    static bool isReturningToExtras();
    static void setReturningToExtras(bool returning);
    // Prepares the result scene to show ranking record `index` of the three lists and answers
    // whether that record holds a result. An index outside the fifteen records prepares nothing
    // and answers false.
    static bool prepareResultView(CSettingDataManager& settings, const CGameDataManager& gameData, int32_t index);

    const std::shared_ptr<CScriptController>& getScript() const { return script_; }

private:
    ISceneContext& context_;
    SceneServices services_;
    std::shared_ptr<CScriptController> script_;
};

}  // namespace Fenwarrow::Scene
