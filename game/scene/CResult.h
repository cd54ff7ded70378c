#pragma once
// Scene 10: the end of a dive. It files the dive's result record in the rankings, shows how the
// dive ended and the player's numbers in windows that slide in from below, asks whether to keep
// a recorded replay, and on leaving carries the player over or resets them, writes the common
// save and finishes the replay. Reached from the extras (next scene 11) it only shows a stored
// ranking record.
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/scene/OxSceneBase.h"
#include "game/gamedata/CResultInfo.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/SceneServices.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::FontLib {
class OxFontRenderer;
}
namespace Orvex::AudioSystem {
class IOrvexAudioSource;
}

namespace Fenwarrow {
class CGeneralWindow;
class CGameDataManager;
class IGeneralWindowContext;
namespace Replay {
class CReplayController;
}
}  // namespace Fenwarrow

namespace Fenwarrow::Scene {

class CResult : public Orvex::SceneController::OxSceneBase {
public:
    using Services = SceneServices;

    static constexpr int32_t kStateSliding = 0;
    static constexpr int32_t kStateShown = 1;
    static constexpr int32_t kStateAsking = 2;
    static constexpr int32_t kStateLeaving = 3;

    CResult(ISceneContext& context, Services services);
    ~CResult() override;

    bool initialize() override;
    bool update() override;
    bool draw() override;
    bool finalize() override;

    const CResultInfo& getRecord() const { return record_; }
    int32_t getState() const { return state_; }
    float getScrollOffset() const { return scrollOffset_; }
    bool isViewOnly() const { return viewOnly_; }
    bool getSaveReplay() const { return saveReplay_; }
    const std::shared_ptr<CGeneralWindow>& getResultWindow() const { return resultWindow_; }
    const std::shared_ptr<CGeneralWindow>& getStatusWindow() const { return statusWindow_; }
    const std::shared_ptr<CGeneralWindow>& getReplayPrompt() const { return replayPrompt_; }

private:
    void fillFromDive(CGameDataManager& gameData);
    static void reportEndState(CGameDataManager& gameData, int32_t floorNumber);
    void buildWindows();
    bool isRecording() const;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> jingle() const;

    ISceneContext& context_;
    Services services_;
    CResultInfo record_{};
    Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture> background_;
    std::shared_ptr<CGeneralWindow> resultWindow_;
    std::shared_ptr<CGeneralWindow> statusWindow_;
    std::shared_ptr<CGeneralWindow> replayPrompt_;
    float scrollOffset_ = 600.0f;
    float scrollStep_ = -5.0f;
    int32_t stepInterval_ = 2;
    int32_t stepCounter_ = 2;
    int32_t nextScene_ = 0;
    bool viewOnly_ = false;
    bool saveReplay_ = true;
    bool meltdown_ = false;
    int32_t state_ = kStateSliding;
};

}  // namespace Fenwarrow::Scene
