#include "game/scene/CPromotion.h"

#include "engine/scene/OxSceneController.h"
#include "game/scene/SceneNumbers.h"

namespace Fenwarrow::Scene {

bool CPromotion::initialize() {
    if (!openMovie(u"Movie/Promotion.ogv", 0, 0, 800, 600)) {
        closePlayer();
    }
    nextScene_ = kScenePlayDemo;
    return true;
}

bool CPromotion::update() {
    if (isSkipChordDown() && player_) {
        player_->stop();  // the player thread clears its running flag; the change follows then
    }
    if (!isPlayerRunning()) {
        getSceneController()->changeScene(nextScene_);
    }
    return true;
}

bool CPromotion::draw() {
    queueDraw(/*onlyWhilePlaying=*/false);
    return true;
}

}  // namespace Fenwarrow::Scene
