#include "game/scene/CMovie.h"

#include "engine/scene/OxSceneController.h"
#include "game/scene/SceneNumbers.h"
#include "game/services/CGameSetting.h"
#include "game/services/CSettingDataManager.h"

namespace Fenwarrow::Scene {

bool CMovie::initialize() {
    const CPathSetting& movie = context_.getSettingDataManager()->getMovieSetting();
    const CGameSetting& settings = context_.getSettings();
    const int32_t width = static_cast<int32_t>(settings.windowWidth);
    const int32_t height = static_cast<int32_t>(settings.windowHeight);
    openMovie(std::u16string(movie.path.data()), 0, (height - kPictureHeight) / 2, width, kPictureHeight);
    nextScene_ = movie.nextScene;
    context_.resetFrameTimer();
    return true;
}

bool CMovie::update() {
    // A missing player keeps the scene until the skip chord.
    const bool leave = isSkipChordDown() || (player_ && !player_->isPlaying());
    if (!leave) {
        return true;
    }
    Orvex::SceneController::OxSceneController* controller = getSceneController();
    if (nextScene_ == 0) {
        controller->requestKind = kRequestReturn;
    } else {
        controller->changeScene(nextScene_);
    }
    return true;
}

bool CMovie::draw() {
    queueDraw(/*onlyWhilePlaying=*/true);
    return true;
}

}  // namespace Fenwarrow::Scene
