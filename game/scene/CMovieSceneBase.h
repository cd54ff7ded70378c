#pragma once
// What the movie scenes share: one movie player that they own, made on the game's device and
// audio engine and reading from the game's movie archive reader, and the scene they go to next.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/movie/TheoraPlayer.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow::Scene {

class CMovieSceneBase : public Orvex::SceneController::OxSceneBase {
public:
    explicit CMovieSceneBase(ISceneContext& context) : context_(context) {}
    ~CMovieSceneBase() override;
    bool finalize() override;

protected:
    // Makes the player and opens the movie in the rectangle; the player stays even when the
    // open fails (callers that need it gone use closePlayer). Returns the open's result.
    bool openMovie(const std::u16string& path, int32_t x, int32_t y, int32_t width, int32_t height);
    void closePlayer();
    // Queues the movie's drawing at the "BackGround" layer; `onlyWhilePlaying` skips a movie
    // that has ended.
    void queueDraw(bool onlyWhilePlaying);
    bool isPlayerRunning() const { return player_ != nullptr && player_->isPlaying(); }
    // Both skip keys (10 and 11) held in this frame.
    bool isSkipChordDown();

    ISceneContext& context_;

    std::unique_ptr<Theora::TheoraPlayer> player_;
    int32_t nextScene_ = 0;
};

}  // namespace Fenwarrow::Scene
