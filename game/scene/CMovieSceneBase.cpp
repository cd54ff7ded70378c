#include "game/scene/CMovieSceneBase.h"

#include "engine/audio/IOrvexAudioDevice.h"
#include "game/scriptcommand/RenderLayerNames.h"
#include "game/shell/CGameManager.h"

namespace Fenwarrow::Scene {

CMovieSceneBase::~CMovieSceneBase() { closePlayer(); }

bool CMovieSceneBase::finalize() {
    closePlayer();
    return true;
}

bool CMovieSceneBase::openMovie(const std::u16string& path, int32_t x, int32_t y, int32_t width, int32_t height) {
    CGameManager* game = CGameManager::instance();
    auto audio = game->getAudioDevice();
    std::shared_ptr<Platform::Audio::AudioEngine> engine = audio ? audio->getEngine() : nullptr;
    player_ = std::make_unique<Theora::TheoraPlayer>(game->getGraphics()->getDevice(), engine.get());
    return player_->open(path, game->getArchiveReaderAt(2), x, y, width, height);
}

void CMovieSceneBase::closePlayer() {
    if (player_) {
        player_->stop();
        player_->close();
        player_.reset();
    }
}

void CMovieSceneBase::queueDraw(bool onlyWhilePlaying) {
    CGameManager::instance()->getRenderQueue()->add(ScriptCommand::getRenderPriority(u"BackGround"),
                                                    [this, onlyWhilePlaying] {
                                                        if (player_ && (!onlyWhilePlaying || player_->isPlaying())) {
                                                            player_->draw();
                                                        }
                                                    });
}

bool CMovieSceneBase::isSkipChordDown() {
    Orvex::InputSystem::OxVirtualKey* keys = CGameManager::instance()->getVirtualKey();
    return keys->isDown(11) && keys->isDown(10);
}

}  // namespace Fenwarrow::Scene
