#include "game/scene/CLogo.h"

#include "engine/scene/OxSceneController.h"
#include "game/scene/SceneNumbers.h"

namespace Fenwarrow::Scene {

bool CLogo::initialize() {
    if (!openMovie(u"Movie/QuillmarkLogo.ogv", 0, 0, 800, 600)) {
        closePlayer();  // the scene leaves on its first update
    }
    nextScene_ = kSceneTitle;
    return true;
}

bool CLogo::update() {
    if (!isPlayerRunning()) {
        getSceneController()->changeScene(nextScene_);
    }
    return true;
}

bool CLogo::draw() {
    queueDraw(/*onlyWhilePlaying=*/false);
    return true;
}

}  // namespace Fenwarrow::Scene
