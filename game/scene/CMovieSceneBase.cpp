#include "game/scene/CMovieSceneBase.h"

#include "engine/audio/IOrvexAudioDevice.h"
#include "game/services/RenderLayerNames.h"

namespace Fenwarrow::Scene {

CMovieSceneBase::~CMovieSceneBase() { closePlayer(); }

bool CMovieSceneBase::finalize() {
    closePlayer();
    return true;
}

bool CMovieSceneBase::openMovie(const std::u16string& path, int32_t x, int32_t y, int32_t width, int32_t height) {
    auto audio = context_.getAudioDevice();
    auto engine = audio ? audio->getEngine() : nullptr;
    player_ = std::make_unique<Theora::TheoraPlayer>(context_.getGraphics()->getDevice(), engine.get());
    return player_->open(path, context_.getMovieReader(), x, y, width, height);
}

void CMovieSceneBase::closePlayer() {
    if (player_) {
        player_->stop();
        player_->close();
        player_.reset();
    }
}

void CMovieSceneBase::queueDraw(bool onlyWhilePlaying) {
    context_.getRenderQueue()->add(ScriptCommand::getRenderPriority(u"BackGround"), [this, onlyWhilePlaying] {
        if (player_ && (!onlyWhilePlaying || player_->isPlaying())) {
            player_->draw();
        }
    });
}

bool CMovieSceneBase::isSkipChordDown() {
    Orvex::InputSystem::OxVirtualKey* keys = context_.getVirtualKey();
    return keys->isDown(11) && keys->isDown(10);
}

}  // namespace Fenwarrow::Scene
